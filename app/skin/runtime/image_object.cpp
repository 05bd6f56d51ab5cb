#include "skin/runtime/image_object.h"

#include "skin/lang/skin_script_error.h"
#include "skin/skin_messages.h"

#include <vector>

namespace zr5::skin {
namespace {

// Loop passes one image may run at load, with or without animation commands:
// far beyond a real animation (1000 records), but a loop over a huge range
// with an empty body would otherwise keep the load busy for hours.
constexpr std::size_t kMaxLoopPasses = 1'000'000;

bool isAnimationCommand(const std::string& name)
{
    return name == "draw" || name == "wait" || name == "clear" || name == "stop";
}

} // namespace

struct ImageObject::LoopFrame {
    const Node* node;
    WalkState state = WalkState::Start;
    double value = 0.0;
    double limit = 0.0;
    double step = 1.0;
};

void ImageObject::visitStatement(const Node& statement)
{
    const std::string& name = statement.name();
    if (isAnimationCommand(name)) {
        return;
    }
    CVariant value = defaultStatement(statement);
    if (name == "cell" && value.isNumber()) {
        set("cell0", value);
        set("cell1", value);
    }
}

// Runs the commands with an explicit stack: loops nest as deep as the script does.
void ImageObject::compile()
{
    setPhase(LoadPhase::Compile);
    AnimationTableBuilder builder;
    std::vector<LoopFrame> stack { { body() } };
    std::size_t passes = 0;
    while (!stack.empty()) {
        LoopFrame& frame = stack.back();
        const Node* node = frame.node;
        if (!node || (node->kind() != NodeKind::Seq && node->kind() != NodeKind::For)) {
            if (node && node->kind() == NodeKind::Statement) {
                runCommand(*node, builder);
            }
            stack.pop_back();
            continue;
        }
        if (node->kind() == NodeKind::Seq) {
            if (frame.state == WalkState::PartsDone) {
                stack.pop_back();
                continue;
            }
            const bool first = frame.state == WalkState::Start;
            frame.state = first ? WalkState::SecondPart : WalkState::PartsDone;
            stack.push_back({ first ? node->first() : node->second() });
            continue;
        }
        if (frame.state == WalkState::LoopAdvance) {
            frame.value += frame.step;
            frame.state = WalkState::LoopTest;
        }
        if (!enterLoop(frame)) {
            stack.pop_back();
            continue;
        }
        if (++passes > kMaxLoopPasses) {
            failTableSize();
        }
        frame.state = WalkState::LoopAdvance;
        stack.push_back({ node->body() });
    }
}

// Evaluates the bounds on the first visit; true when the body runs (again).
bool ImageObject::enterLoop(LoopFrame& frame)
{
    const Node& loop = *frame.node;
    if (frame.state == WalkState::Start) {
        frame.value = evaluateExpression(loop.from(), *this).toNumber();
        frame.limit = evaluateExpression(loop.to(), *this).toNumber();
        frame.step = loop.step() ? evaluateExpression(loop.step(), *this).toNumber() : 1.0;
        if ((frame.value > frame.limit && frame.step > 0) || (frame.value < frame.limit && frame.step < 0)) {
            frame.step = -frame.step;
        }
        frame.state = WalkState::LoopTest;
    }
    bool runs
        = (frame.step >= 0 && frame.value <= frame.limit) || (frame.step < 0 && frame.value >= frame.limit);
    // A zero step would never leave the loop.
    if (runs && frame.step == 0) {
        failTableSize();
    }
    if (runs) {
        set(loop.name(), CVariant(frame.value));
    }
    return runs;
}

void ImageObject::runCommand(const Node& statement, AnimationTableBuilder& builder)
{
    const std::string& name = statement.name();
    if (!isAnimationCommand(name)) {
        return;
    }
    if (name == "stop") {
        builder.stop();
    } else {
        CVariant value = evaluateExpression(statement.expression(), *this);
        if (name == "wait") {
            builder.wait(value);
        } else {
            builder.draw(value);
        }
    }
    if (builder.tooLarge()) {
        failTableSize();
    }
    set("@code", CVariant(builder.table()));
}

void ImageObject::failTableSize() const
{
    throw ESkinScript(msg::animationTableTooLarge(name()));
}

} // namespace zr5::skin
