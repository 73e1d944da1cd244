#include "ui/window_geometry.h"

#include "ui/screen_places.h"
#include "ui/twips.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace {

// Twips kept for a window stay within what 16-bit window coordinates held.
constexpr double kTwipsLimit = 32767.0 * kTwipsPerPixel;

int Pixels(double twips) {
    if (!(twips == twips)) {  // NaN
        return 0;
    }
    return TwipsToPixels(std::clamp(twips, -kTwipsLimit, kTwipsLimit));
}

// The frame around the client area; empty before the window system framed it.
QMargins FrameMargins(const QWidget* window) {
    const QWindow* handle = window->windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

// A window is on the screen with its frame (if the window system gives it
// one) from its first exposure on: the frame is then known and in place.
bool FramedNow(const QWidget* window) {
    const QWindow* handle = window->windowHandle();
    return handle && window->isVisible() && handle->isExposed();
}

// The screens' available areas, the primary screen's first.
QList<QRect> ScreenAreas() {
    QList<QRect> areas;
    QScreen* primary = QGuiApplication::primaryScreen();
    if (primary) {
        areas << primary->availableGeometry();
    }
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen != primary) {
            areas << screen->availableGeometry();
        }
    }
    return areas;
}

// Sizes the client area so that the window with its present frame has the
// outer rectangle's size. A framed window is given its place in the same
// request: a size alone goes out with the client position the toolkit last
// heard of, which may be from before the window manager put the frame
// around it, and the window would move there.
void SetOuterSize(QWidget* window, const QRect& outer, bool framed) {
    const QMargins frame = FrameMargins(window);
    const QSize client(std::max(1, outer.width() - frame.left() - frame.right()),
                       std::max(1, outer.height() - frame.top() - frame.bottom()));
    if (framed) {
        window->setGeometry(QRect(outer.topLeft() + QPoint(frame.left(), frame.top()), client));
    } else {
        window->resize(client);
    }
}

}  // namespace

// Keeps what was asked of a window's outer place and size until the window
// system has framed it, then applies the outer size again with the frame
// known. Lives as a child of its window.
class RequestedPlace : public QObject {
    Q_OBJECT
public:
    explicit RequestedPlace(QWidget* window) : QObject(window), window_(window) {
        framed_ = FramedNow(window);
        window->installEventFilter(this);
        WatchHandle();
    }

    // The requested (or present) place and size of the window.
    static RequestedPlace* Of(QWidget* window) {
        auto* place = window->findChild<RequestedPlace*>(QString(), Qt::FindDirectChildrenOnly);
        return place ? place : new RequestedPlace(window);
    }
    static const RequestedPlace* Find(const QWidget* window) {
        return window->findChild<const RequestedPlace*>(QString(), Qt::FindDirectChildrenOnly);
    }

    bool Framed() const { return framed_; }

    QRect Outer() const {
        QRect outer = window_->frameGeometry();
        if (!framed_) {
            outer.moveTo(left_.value_or(outer.left()), top_.value_or(outer.top()));
            outer.setSize(QSize(width_.value_or(outer.width()), height_.value_or(outer.height())));
        }
        return outer;
    }

    enum class Part { Left, Top, Width, Height };

    // Sets one part of the outer rectangle; the window moves and is sized to
    // it, brought within the screens. Until the window is framed, the part
    // set and whatever else the screens changed are kept.
    void Set(Part part, int pixels) {
        const QRect before = Outer();
        QRect wanted = before;
        switch (part) {
            case Part::Left:
                wanted.moveLeft(pixels);
                break;
            case Part::Top:
                wanted.moveTop(pixels);
                break;
            case Part::Width:
                wanted.setWidth(std::max(1, pixels));
                break;
            case Part::Height:
                wanted.setHeight(std::max(1, pixels));
                break;
        }
        const QRect outer = WithinScreens(wanted, ScreenAreas());
        if (!framed_) {
            Keep(left_, part == Part::Left, before.left(), outer.left());
            Keep(top_, part == Part::Top, before.top(), outer.top());
            Keep(width_, part == Part::Width, before.width(), outer.width());
            Keep(height_, part == Part::Height, before.height(), outer.height());
        }
        if (outer.topLeft() != before.topLeft()) {
            window_->move(outer.topLeft());
        }
        if (outer.size() != window_->frameGeometry().size()) {
            SetOuterSize(window_, outer, framed_);
        }
    }

    void WhenFramed(QObject* context, std::function<void()> action) {
        if (framed_) {
            action();
        } else {
            waiting_.emplace_back(context, std::move(action));
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::Show:
            case QEvent::Move:
            case QEvent::Resize:
            case QEvent::Expose:
                WatchHandle();
                if (!framed_ && FramedNow(window_)) {
                    BecomeFramed();
                }
                break;
            default:
                break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    static void Keep(std::optional<int>& kept, bool asked, int before, int now) {
        if (asked || now != before) {
            kept = now;
        }
    }

    // The native window reports exposure; it exists from the first show on.
    void WatchHandle() {
        QWindow* handle = window_->windowHandle();
        if (handle && handle != handle_) {
            handle_ = handle;
            handle->installEventFilter(this);
        }
    }

    void BecomeFramed() {
        const QRect outer = Outer();
        const bool sized = width_ || height_;
        framed_ = true;
        left_ = top_ = width_ = height_ = std::nullopt;
        if (sized) {
            SetOuterSize(window_, outer, true);
        }
        for (auto& [context, action] : std::exchange(waiting_, {})) {
            if (context) {
                action();
            }
        }
    }

    QWidget* window_;
    QPointer<QWindow> handle_;
    bool framed_ = false;
    std::optional<int> left_, top_, width_, height_;
    std::vector<std::pair<QPointer<QObject>, std::function<void()>>> waiting_;
};

namespace {

QRect Outer(const QWidget* window) {
    const RequestedPlace* place = RequestedPlace::Find(window);
    return place ? place->Outer() : window->frameGeometry();
}

}  // namespace

int LeftTwips(const QWidget* window) {
    return PixelsToTwips(Outer(window).x());
}
int TopTwips(const QWidget* window) {
    return PixelsToTwips(Outer(window).y());
}
int WidthTwips(const QWidget* window) {
    return PixelsToTwips(Outer(window).width());
}
int HeightTwips(const QWidget* window) {
    return PixelsToTwips(Outer(window).height());
}

void SetLeftTwips(QWidget* window, double twips) {
    RequestedPlace::Of(window)->Set(RequestedPlace::Part::Left, Pixels(twips));
}
void SetTopTwips(QWidget* window, double twips) {
    RequestedPlace::Of(window)->Set(RequestedPlace::Part::Top, Pixels(twips));
}
void SetWidthTwips(QWidget* window, double twips) {
    RequestedPlace::Of(window)->Set(RequestedPlace::Part::Width, Pixels(twips));
}
void SetHeightTwips(QWidget* window, double twips) {
    RequestedPlace::Of(window)->Set(RequestedPlace::Part::Height, Pixels(twips));
}

bool IsFramed(const QWidget* window) {
    const RequestedPlace* place = RequestedPlace::Find(window);
    return place ? place->Framed() : FramedNow(window);
}

void WhenFramed(QWidget* window, QObject* context, std::function<void()> action) {
    RequestedPlace::Of(window)->WhenFramed(context, std::move(action));
}

#include "window_geometry.moc"
