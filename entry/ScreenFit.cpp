#include "entry/ScreenFit.h"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>

namespace {

// Title bar and borders the window manager adds: the parent's own when it is
// on screen, a usual allowance before.
QMargins frameOf(const QWidget* window) {
    if (window && window->isVisible()) {
        const QRect frame = window->frameGeometry();
        const QRect inner = window->geometry();
        if (frame != inner)
            return {inner.left() - frame.left(), inner.top() - frame.top(),
                    frame.right() - inner.right(), frame.bottom() - inner.bottom()};
    }
    return {4, 30, 4, 4};
}

const QScreen* screenOf(const QWidget* window) {
    const QWidget* parent = window->parentWidget() ? window->parentWidget()->window() : nullptr;
    const QScreen* screen = parent ? parent->screen() : window->screen();
    return screen ? screen : QGuiApplication::primaryScreen();
}

// Lays the window out as it will be shown; returns the window it belongs
// to, if any.
const QWidget* settled(QWidget* window) {
    window->ensurePolished();
    if (window->layout())
        window->layout()->activate();
    return window->parentWidget() ? window->parentWidget()->window() : nullptr;
}

// Brings its window back on screen after the resize that took it off: once the window system has
// settled, so that the frame is known.
class OnScreenKeeper : public QObject {
public:
    explicit OnScreenKeeper(QWidget* window) : QObject(window), window_(window) {
        setObjectName(QStringLiteral("onScreenKeeper"));
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // Only growth: a window the user drags half off the screen stays there.
        if (watched == window_ && !pending_ && event->type() == QEvent::Resize) {
            pending_ = true;
            QTimer::singleShot(0, this, [this] {
                pending_ = false;
                if (window_->isVisible() && !window_->isMaximized() && !window_->isFullScreen() &&
                    !fits(window_))
                    placeOnScreen(window_, false);
            });
        }
        return false;
    }

private:
    static bool fits(const QWidget* window) {
        const QScreen* screen = screenOf(window);
        return !screen || screen->availableGeometry().contains(window->frameGeometry());
    }

    QWidget* window_;
    bool pending_ = false;
};

} // namespace

void keepOnScreen(QWidget* window) {
    if (window->findChild<QObject*>(QStringLiteral("onScreenKeeper"), Qt::FindDirectChildrenOnly))
        return;
    window->installEventFilter(new OnScreenKeeper(window));
}

void placeOnScreen(QWidget* window, bool centre) {
    const QScreen* screen = screenOf(window);
    if (!screen)
        return;
    const QWidget* parent = settled(window);
    const QRect free = screen->availableGeometry();
    const QMargins frame = frameOf(window->isVisible() ? window : parent);
    // Never taller or wider than the free part, as far as the contents allow.
    window->resize(window->size()
                       .boundedTo(free.size().shrunkBy(frame))
                       .expandedTo(window->minimumSizeHint()));
    QRect outer(window->isVisible() ? window->frameGeometry().topLeft() : window->pos(),
                window->size().grownBy(frame));
    if (centre)
        outer.moveCenter(parent && parent->isVisible() ? parent->frameGeometry().center()
                                                       : free.center());
    outer.moveLeft(std::max(free.left(), std::min(outer.left(), free.right() - outer.width() + 1)));
    outer.moveTop(std::max(free.top(), std::min(outer.top(), free.bottom() - outer.height() + 1)));
    // Placed by its contents' corner, which every platform takes alike.
    window->setGeometry(QRect(outer.topLeft() + QPoint(frame.left(), frame.top()), window->size()));
}

void fitOnScreen(QWidget* window, bool centre) {
    const QScreen* screen = screenOf(window);
    if (!screen)
        return;
    const QWidget* parent = settled(window);
    const QMargins frame = frameOf(window->isVisible() ? window : parent);
    const QSize room = screen->availableGeometry().size().shrunkBy(frame);
    window->resize(window->sizeHint().boundedTo(room).expandedTo(window->minimumSizeHint()));
    placeOnScreen(window, centre || !window->isVisible());
}

QSize roomToGrow(QWidget* window) {
    const QScreen* screen = screenOf(window);
    if (!screen)
        return {};
    const QWidget* parent = settled(window);
    const QMargins frame = frameOf(window->isVisible() ? window : parent);
    const QSize free = screen->availableGeometry().size().shrunkBy(frame);
    return (free - window->size()).expandedTo(QSize(0, 0));
}
