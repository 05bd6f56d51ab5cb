#include "ui/ticker_window.h"

#include "dialogs/qt_text.h"
#include "gfx/surface32.h"
#include "ui/ui_messages.h"

#include <QBitmap>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QScreen>
#include <QStyleHints>
#include <QWheelEvent>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

namespace zr5::ui {
namespace {

constexpr Qt::WindowFlags kBaseFlags = Qt::Tool | Qt::FramelessWindowHint;

Qt::WindowFlags flagsFor(Stacking stacking)
{
    switch (stacking) {
    case Stacking::AlwaysInFront:
        return kBaseFlags | Qt::WindowStaysOnTopHint;
    case Stacking::AlwaysBehind:
        return kBaseFlags | Qt::WindowStaysOnBottomHint;
    case Stacking::Normal:
        break;
    }
    return kBaseFlags;
}

// F1 to F4 start the skin's events 6 to 9 (news on/off, mail on/off).
int skinEventForKey(int key)
{
    return key >= Qt::Key_F1 && key <= Qt::Key_F4 ? 6 + (key - Qt::Key_F1) : -1;
}

std::optional<TickerWindow::KeyCommand> commandForKey(int key)
{
    switch (key) {
    case Qt::Key_Left:
        return TickerWindow::KeyCommand::PreviousHeadline;
    case Qt::Key_Right:
        return TickerWindow::KeyCommand::NextHeadline;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return TickerWindow::KeyCommand::OpenFrontLink;
    case Qt::Key_Space:
        return TickerWindow::KeyCommand::TogglePause;
    default:
        return std::nullopt;
    }
}

// A wheel notch is 15 degrees, reported in eighths of a degree.
constexpr int kWheelStepEighths = 120;

// The bounding box of the pixels where two frames of one size and format
// differ (null when none). Whole rows are compared first: most rows of a
// scrolling strip are alike, and memcmp is the fastest way to tell.
QRect differingPixels(const QImage& before, const QImage& after)
{
    const int width = after.width();
    const auto rowBytes = static_cast<std::size_t>(width) * sizeof(QRgb);
    int top = -1;
    int bottom = -1;
    int left = width;
    int right = -1;
    for (int y = 0; y < after.height(); ++y) {
        const auto* a = reinterpret_cast<const QRgb*>(before.constScanLine(y));
        const auto* b = reinterpret_cast<const QRgb*>(after.constScanLine(y));
        if (std::memcmp(a, b, rowBytes) == 0) {
            continue;
        }
        top = top < 0 ? y : top;
        bottom = y;
        int x = 0;
        while (x < left && a[x] == b[x]) {
            ++x;
        }
        left = x;
        x = width - 1;
        while (x > right && a[x] == b[x]) {
            --x;
        }
        right = x;
    }
    return top < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

// Device pixels to the logical pixels that cover them.
QRect coveringLogical(const QRect& device, double ratio)
{
    const int left = static_cast<int>(std::floor(device.left() / ratio));
    const int top = static_cast<int>(std::floor(device.top() / ratio));
    const int right = static_cast<int>(std::ceil((device.right() + 1) / ratio));
    const int bottom = static_cast<int>(std::ceil((device.bottom() + 1) / ratio));
    return QRect(left, top, right - left, bottom - top);
}

} // namespace

QImage alphaOutline(const QImage& frame, int threshold)
{
    const QSize size = (QSizeF(frame.size()) / frame.devicePixelRatio()).toSize();
    QImage bits(size, QImage::Format_MonoLSB);
    bits.setColorCount(2);
    bits.setColor(0, qRgb(255, 255, 255));
    bits.setColor(1, qRgb(0, 0, 0));
    retraceOutline(frame, threshold, bits, 0, size.height());
    return bits;
}

void retraceOutline(const QImage& frame, int threshold, QImage& bits, int top, int bottom)
{
    const QImage source = frame.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    // The outline is in logical pixels: each samples the device pixel at its top left.
    const double ratio = source.devicePixelRatio();
    const int width = bits.width();
    std::vector<int> columns(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x) {
        columns[static_cast<std::size_t>(x)] = std::min(static_cast<int>(x * ratio), source.width() - 1);
    }
    for (int y = std::max(top, 0); y < std::min(bottom, bits.height()); ++y) {
        const int sourceY = std::min(static_cast<int>(y * ratio), source.height() - 1);
        const auto* row = reinterpret_cast<const QRgb*>(source.constScanLine(sourceY));
        uchar* out = bits.scanLine(y);
        // The padding stays zero too: outlines are compared bytewise.
        std::fill(out, out + bits.bytesPerLine(), uchar { 0 });
        for (int x = 0; x < width; ++x) {
            if (qAlpha(row[columns[static_cast<std::size_t>(x)]]) >= threshold) {
                out[x >> 3] |= static_cast<uchar>(1u << (x & 7));
            }
        }
    }
}

TickerWindow::TickerWindow()
{
    setWindowFlags(kBaseFlags);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_NoSystemBackground);
    setWindowTitle(toQString(msg::kWindowTitle));
    setFocusPolicy(Qt::StrongFocus);
    setGeometry(100, 100, 200, 200);
    m_framePacer.setSingleShot(true);
    m_framePacer.setTimerType(Qt::PreciseTimer);
    connect(&m_framePacer, &QTimer::timeout, this, &TickerWindow::frameDue);
}

QRect TickerWindow::present(QImage frame, int alpha, Paint paint, std::optional<QRect> knownChange)
{
    const QRect changed = alpha == m_alpha ? changedArea(frame, knownChange) : rect();
    m_frame = std::move(frame);
    m_alpha = alpha;
    if (changed.isEmpty()) {
        return changed;
    }
    if (m_shape == Shape::Masked) {
        updateMask(changed);
    }
    if (paint == Paint::Now) {
        repaint(changed);
    } else {
        update(changed);
    }
    return changed;
}

QRect TickerWindow::changedArea(const QImage& next, const std::optional<QRect>& knownChange) const
{
    if (m_frame.size() != next.size() || m_frame.format() != next.format()
        || m_frame.devicePixelRatio() != next.devicePixelRatio() || m_frame.depth() != 32) {
        return rect();
    }
    const QRect device = knownChange ? *knownChange : differingPixels(m_frame, next);
    return device.isNull() ? QRect() : coveringLogical(device, next.devicePixelRatio()).intersected(rect());
}

void TickerWindow::requestFrame()
{
    QWindow* handle = windowHandle();
    if (!handle) {
        return;
    }
    // Qt's X11 plugin answers update requests after a fixed few milliseconds,
    // whatever the screen's refresh: there the screen's rate paces the frames.
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        handle->requestUpdate();
        return;
    }
    const double rate
        = screen() && screen()->refreshRate() > 1.0 ? screen()->refreshRate() : kDefaultRefreshRate;
    m_framePacer.start(std::max(1, static_cast<int>(std::lround(1000.0 / rate))));
}

void TickerWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // The native window exists by now and is not mapped yet: its first
    // exposure is seen here.
    QWindow* handle = windowHandle();
    if (handle && handle != m_watched) {
        m_watched = handle;
        handle->installEventFilter(this);
    }
}

bool TickerWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_watched) {
        // Frames come from requestFrame(): the widget's own answer would
        // repaint the whole window.
        if (event->type() == QEvent::UpdateRequest) {
            emit frameDue();
            return true;
        }
        if (event->type() == QEvent::Expose && m_watched->isExposed()) {
            emit exposed();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TickerWindow::setSkinRules(const skin::WindowGeometry& geometry, SizeLimits limits, SizeSteps steps)
{
    m_geometry = geometry;
    m_steps = steps;
    m_limits = limits;
    applySizeLimits();
}

void TickerWindow::setDocked(bool docked)
{
    m_docked = docked;
    m_drag = Drag {};
    applySizeLimits();
}

void TickerWindow::applySizeLimits()
{
    auto upTo
        = [](int limit) { return limit > 0 ? std::min(limit, gfx::kMaxSurfaceSide) : gfx::kMaxSurfaceSide; };
    const int minWidth = m_docked ? 1 : std::max(1, m_limits.minWidth);
    setMinimumSize(minWidth, std::max(1, m_limits.minHeight));
    // Frames larger than a surface may be cannot be drawn: the window would vanish.
    setMaximumSize(m_docked ? gfx::kMaxSurfaceSide : upTo(m_limits.maxWidth), upTo(m_limits.maxHeight));
    setSizeIncrement(m_docked ? 1 : m_steps.x, m_docked ? 1 : m_steps.y);
    setBaseSize(0, 0);
}

void TickerWindow::setStacking(Stacking stacking)
{
    Qt::WindowFlags flags = flagsFor(stacking);
    if (QWindow* handle = windowHandle(); handle && isVisible()) {
        // Changing the widget's flags would hide it; the native window can
        // take the new hints while it is shown.
        overrideWindowFlags(flags);
        handle->setFlags(flags);
    } else {
        setWindowFlags(flags);
    }
    if (stacking == Stacking::AlwaysBehind) {
        lower();
    } else {
        raise();
    }
}

void TickerWindow::setOpacityPercent(int percent)
{
    m_opacityPercent = std::clamp(percent, kMinOpacityPercent, 100);
    update();
}

void TickerWindow::setShape(Shape shape)
{
    m_shape = shape;
    m_maskBits = QImage();
    if (shape == Shape::Masked) {
        updateMask(rect());
    } else {
        clearMask();
    }
}

void TickerWindow::updateMask(const QRect& changed)
{
    if (m_frame.isNull()) {
        return;
    }
    const int threshold = kShapeAlphaThreshold;
    QImage bits;
    if (m_maskBits.size() == (QSizeF(m_frame.size()) / m_frame.devicePixelRatio()).toSize()) {
        // Rows the frame left as they were keep their outline.
        bits = m_maskBits.copy();
        retraceOutline(m_frame, threshold, bits, changed.top(), changed.bottom() + 1);
    } else {
        bits = alphaOutline(m_frame, threshold);
    }
    // Shape requests are costly for the X server: only when the outline
    // changes. The bytes are compared (QImage's == goes pixel by pixel
    // through the colour table).
    if (bits.size() == m_maskBits.size()
        && std::memcmp(bits.constBits(), m_maskBits.constBits(), static_cast<std::size_t>(bits.sizeInBytes()))
            == 0) {
        return;
    }
    m_maskBits = bits;
    setMask(QRegion(QBitmap::fromImage(bits)));
}

int TickerWindow::gripAt(QPoint point) const
{
    return skin::hitTestGrips(m_geometry, point.x(), point.y(), width(), height());
}

void TickerWindow::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    // Without a compositor nothing could show through: the opacity is left out.
    const int percent = m_shape == Shape::Translucent ? m_opacityPercent : 100;
    const int alpha = m_alpha * percent / 100;
    // The usual frame covers the window at full strength: copying the part
    // asked for is enough.
    if (alpha >= 255 && m_frame.deviceIndependentSize() == QSizeF(size())) {
        const QRectF area = event->rect();
        const double ratio = m_frame.devicePixelRatio();
        painter.drawImage(area, m_frame, QRectF(area.topLeft() * ratio, area.size() * ratio));
        return;
    }
    painter.fillRect(event->rect(), Qt::transparent);
    if (m_frame.isNull() || alpha <= 0) {
        return;
    }
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setOpacity(alpha / 255.0);
    painter.drawImage(0, 0, m_frame);
}

void TickerWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || fixedInPlace()) {
        return;
    }
    // Moving or resizing starts only once the pointer has travelled: handing
    // the pointer to the window manager at the press would swallow double-clicks.
    m_drag = Drag { true, false, gripAt(event->position().toPoint()), event->globalPosition().toPoint(),
        geometry() };
}

void TickerWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton) || fixedInPlace()) {
        m_drag.pending = false;
        return;
    }
    QPoint global = event->globalPosition().toPoint();
    if (m_drag.manual) {
        dragManually(global);
    } else if (m_drag.pending
        && (global - m_drag.pressGlobal).manhattanLength()
            >= QGuiApplication::styleHints()->startDragDistance()) {
        startDrag(global);
    }
}

void TickerWindow::startDrag(QPoint globalPos)
{
    m_drag.pending = false;
    QWindow* handle = windowHandle();
    if (!handle) {
        return;
    }
    bool started = false;
    if (Qt::Edges edges = gripEdges(m_drag.grip)) {
        started = handle->startSystemResize(edges);
    } else {
        // The window manager takes over from here: give it the distance already travelled.
        move(m_drag.startGeometry.topLeft() + (globalPos - m_drag.pressGlobal));
        started = handle->startSystemMove();
    }
    m_drag.manual = !started;
    if (!started) {
        dragManually(globalPos);
    }
}

void TickerWindow::dragManually(QPoint globalPos)
{
    QPoint delta = globalPos - m_drag.pressGlobal;
    QRect rect = m_drag.startGeometry;
    Qt::Edges edges = gripEdges(m_drag.grip);
    if (!edges) {
        move(rect.topLeft() + delta);
        return;
    }
    if (edges & Qt::LeftEdge) {
        rect.setLeft(std::min(rect.left() + delta.x(), rect.right() - minimumWidth() + 1));
    }
    if (edges & Qt::RightEdge) {
        rect.setRight(rect.right() + delta.x());
    }
    if (edges & Qt::TopEdge) {
        rect.setTop(std::min(rect.top() + delta.y(), rect.bottom() - minimumHeight() + 1));
    }
    if (edges & Qt::BottomEdge) {
        rect.setBottom(rect.bottom() + delta.y());
    }
    setGeometry(rect);
}

void TickerWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_drag = Drag {};
    } else if (event->button() == Qt::RightButton) {
        emit menuRequested(event->globalPosition().toPoint());
    }
}

void TickerWindow::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_drag = Drag {};
        emit linkRequested(event->position().toPoint());
    }
}

void TickerWindow::keyPressEvent(QKeyEvent* event)
{
    if (std::optional<KeyCommand> command = commandForKey(event->key())) {
        emit keyCommand(*command);
        return;
    }
    int index = skinEventForKey(event->key());
    if (index < 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    emit skinEventRequested(index);
}

void TickerWindow::enterEvent(QEnterEvent* event)
{
    QWidget::enterEvent(event);
    emit hovered(true);
}

void TickerWindow::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    emit hovered(false);
}

void TickerWindow::wheelEvent(QWheelEvent* event)
{
    event->accept();
    const int delta = event->angleDelta().y();
    // Turning back starts afresh: a part step the other way is no step back.
    if ((delta < 0) != (m_wheelEighths < 0)) {
        m_wheelEighths = 0;
    }
    // The speed has eleven values: a storm of steps need not be counted exactly.
    const long long travel = static_cast<long long>(m_wheelEighths) + delta;
    const int steps = static_cast<int>(std::clamp<long long>(travel / kWheelStepEighths, -100, 100));
    m_wheelEighths = static_cast<int>(travel % kWheelStepEighths);
    if (steps != 0) {
        emit wheelTurned(steps);
    }
}

void TickerWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    QSize stepped = applySizeSteps(size(), m_steps).expandedTo(minimumSize());
    if (!m_docked && stepped != size()) {
        resize(stepped);
        return;
    }
    emit placed(geometry());
}

void TickerWindow::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    emit placed(geometry());
}

void TickerWindow::closeEvent(QCloseEvent* event)
{
    // The application decides when the window goes: after the fade-out.
    event->ignore();
    emit closeRequested();
}

} // namespace zr5::ui
