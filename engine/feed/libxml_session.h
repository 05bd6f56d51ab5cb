// The libxml2 settings every feed parse relies on.
#pragma once

#include <libxml/xmlerror.h>

namespace zr5::script::feed {

// Once per process: the parser initialised and an external entity loader that
// refuses everything, so no DTD, entity or file is ever read on a feed's behalf.
// The loader is process-wide: any other libxml2 user in the process is kept
// from loading external resources too.
void prepareLibxml();

// While alive, libxml2's error output on this thread goes nowhere.
class QuietErrors final {
public:
    QuietErrors();
    ~QuietErrors();
    QuietErrors(const QuietErrors&) = delete;
    QuietErrors& operator=(const QuietErrors&) = delete;

private:
    void* m_genericContext;
    xmlGenericErrorFunc m_genericHandler;
    void* m_structuredContext;
    xmlStructuredErrorFunc m_structuredHandler;
};

} // namespace zr5::script::feed
