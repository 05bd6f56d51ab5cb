// `zr5skin render`: frames of a skin rendered headlessly, the last one saved
// as a PNG with its alpha channel.
#pragma once

#include <string>
#include <vector>

namespace zr5::skin {

struct RenderOptions {
    std::string folder;
    std::string output;
    int width = 0; // 0: the skin's design size
    int height = 0;
    double scale = 1.0; // device pixels per logical pixel of the saved picture
    long long at = 0; // ms clock of the first frame
    long long frames = 1; // 10 ms apart, as the window's frame timer
    int speed = 2;
    struct Event {
        int index;
        long long at;
    };
    std::vector<Event> events;
    // UTF-8 "TITLE|LINK|LABEL"
    std::vector<std::string> headlines;
};

// Parses the arguments after "render"; false with a reason in error.
bool parseRenderOptions(const std::vector<std::string>& args, RenderOptions& options, std::string& error);

// 0 on success, 1 when the skin does not load (its error in error), 3 when
// the picture cannot be written.
int runRender(const RenderOptions& options, std::string& error);

} // namespace zr5::skin
