#include "desktop/keyboard.h"

#include "desktop/desktop_commands.h"
#include "ui/frm_tembrel.h"
#include "ui/scroll_bar.h"

#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

#include <array>

namespace {

// How much of the keyboard the focused control uses itself.
enum class FocusUse {
    kNone,    // buttons, the window itself: every key of the player acts
    kArrows,  // lists and sliders: they keep the arrows for moving
    kTyping,  // text boxes: they keep every key but the media keys
};

enum class Command {
    kPlayPause,
    kPause,
    kStop,
    kBack2,
    kBack10,
    kForward2,
    kForward10,
    kPreviousCue,
    kNextCue,
    kSetCue,
    kRepeat,
    kSlower,
    kFaster,
    kNormalSpeed,
};

struct Binding {
    int key;
    bool shift;  // the key with Shift held (letters and arrows only)
    Command command;
    FocusUse upTo;  // acts while the focused control uses at most this much
    bool repeats;   // a held key acts again
};

// The player's keys; README.md lists them for users.
constexpr std::array kBindings = {
    Binding{Qt::Key_MediaPlay, false, Command::kPlayPause, FocusUse::kTyping, false},
    Binding{Qt::Key_MediaTogglePlayPause, false, Command::kPlayPause, FocusUse::kTyping, false},
    Binding{Qt::Key_MediaPause, false, Command::kPause, FocusUse::kTyping, false},
    Binding{Qt::Key_MediaStop, false, Command::kStop, FocusUse::kTyping, false},
    Binding{Qt::Key_MediaPrevious, false, Command::kPreviousCue, FocusUse::kTyping, false},
    Binding{Qt::Key_MediaNext, false, Command::kNextCue, FocusUse::kTyping, false},
    Binding{Qt::Key_Space, false, Command::kPlayPause, FocusUse::kArrows, false},
    Binding{Qt::Key_S, false, Command::kStop, FocusUse::kArrows, false},
    Binding{Qt::Key_B, false, Command::kBack2, FocusUse::kArrows, true},
    Binding{Qt::Key_B, true, Command::kBack10, FocusUse::kArrows, true},
    Binding{Qt::Key_F, false, Command::kForward2, FocusUse::kArrows, true},
    Binding{Qt::Key_F, true, Command::kForward10, FocusUse::kArrows, true},
    Binding{Qt::Key_Left, false, Command::kBack2, FocusUse::kNone, true},
    Binding{Qt::Key_Left, true, Command::kBack10, FocusUse::kNone, true},
    Binding{Qt::Key_Right, false, Command::kForward2, FocusUse::kNone, true},
    Binding{Qt::Key_Right, true, Command::kForward10, FocusUse::kNone, true},
    // Foot pedals that turn pages send these.
    Binding{Qt::Key_PageUp, false, Command::kPreviousCue, FocusUse::kNone, false},
    Binding{Qt::Key_PageDown, false, Command::kNextCue, FocusUse::kNone, false},
    Binding{Qt::Key_P, false, Command::kPreviousCue, FocusUse::kArrows, false},
    Binding{Qt::Key_N, false, Command::kNextCue, FocusUse::kArrows, false},
    Binding{Qt::Key_C, false, Command::kSetCue, FocusUse::kArrows, false},
    Binding{Qt::Key_R, false, Command::kRepeat, FocusUse::kArrows, false},
    Binding{Qt::Key_Minus, false, Command::kSlower, FocusUse::kArrows, true},
    Binding{Qt::Key_Plus, false, Command::kFaster, FocusUse::kArrows, true},
    Binding{Qt::Key_Equal, false, Command::kFaster, FocusUse::kArrows, true},
    Binding{Qt::Key_Backspace, false, Command::kNormalSpeed, FocusUse::kArrows, false},
};

bool IsLetterOrArrow(int key) {
    return (key >= Qt::Key_A && key <= Qt::Key_Z) || key == Qt::Key_Left || key == Qt::Key_Right;
}

FocusUse UseOf(const QWidget* focus) {
    const auto* line = qobject_cast<const QLineEdit*>(focus);
    const auto* plain = qobject_cast<const QPlainTextEdit*>(focus);
    const auto* rich = qobject_cast<const QTextEdit*>(focus);
    if ((line && !line->isReadOnly()) || (plain && !plain->isReadOnly()) ||
        (rich && !rich->isReadOnly()) || qobject_cast<const QAbstractSpinBox*>(focus)) {
        return FocusUse::kTyping;
    }
    if (qobject_cast<const QAbstractItemView*>(focus) ||
        qobject_cast<const QAbstractSlider*>(focus) || qobject_cast<const QComboBox*>(focus)) {
        return FocusUse::kArrows;
    }
    return FocusUse::kNone;
}

// The binding of a key press, or none. Ctrl, Alt and Meta leave keys to
// the desktop and the controls; Shift counts for letters and arrows only
// ("+" needs it on some keyboards).
const Binding* BindingOf(const QKeyEvent& event, FocusUse use) {
    const Qt::KeyboardModifiers held = event.modifiers() & ~Qt::KeypadModifier;
    if (held & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        return nullptr;
    }
    const bool shift = held.testFlag(Qt::ShiftModifier) && IsLetterOrArrow(event.key());
    for (const Binding& binding : kBindings) {
        if (binding.key == event.key() && binding.shift == shift && use <= binding.upTo &&
            (binding.repeats || !event.isAutoRepeat())) {
            return &binding;
        }
    }
    return nullptr;
}

void Perform(frmTembrel& window, Command command) {
    switch (command) {
        case Command::kPlayPause:
            return TogglePlayPause(window);
        case Command::kPause:
            return PauseIfPlaying(window);
        case Command::kStop:
            return window.cmdStop1_Click();
        case Command::kBack2:
            return window.Command1_Click();
        case Command::kBack10:
            return window.Command5_Click();
        case Command::kForward2:
            return window.Command7_Click();
        case Command::kForward10:
            return window.Command6_Click();
        case Command::kPreviousCue:
            return window.cmdPrev1_Click();
        case Command::kNextCue:
            return window.cmdNext1_Click();
        case Command::kSetCue:
            return window.cmdCue1_Click();
        case Command::kRepeat:
            return window.mnuRepeat->trigger();
        case Command::kSlower:
            return SetSpeed(window, window.S1->Value() - 5);
        case Command::kFaster:
            return SetSpeed(window, window.S1->Value() + 5);
        case Command::kNormalSpeed:
            return window.cmdReset1_Click();
    }
}

// Sees every key press of the program before the focused control does.
class KeyboardControl : public QObject {
public:
    explicit KeyboardControl(frmTembrel& window) : QObject(&window), window_(window) {
        qApp->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || watched != Receiver() || WindowBusy()) {
            return false;
        }
        const Binding* binding =
            BindingOf(*static_cast<QKeyEvent*>(event), UseOf(QApplication::focusWidget()));
        if (binding == nullptr) {
            return false;
        }
        Perform(window_, binding->command);
        return true;
    }

private:
    // The control a key press goes to first when one of the two windows is
    // active: the focused one, or the window itself. Null otherwise.
    const QObject* Receiver() const {
        const QWidget* focus = QApplication::focusWidget();
        const QWidget* target = focus != nullptr ? focus : QApplication::activeWindow();
        if (target == nullptr ||
            (target->window() != &window_ && target->window() != window_.ExistingLyrics())) {
            return nullptr;
        }
        return target;
    }

    frmTembrel& window_;
};

}  // namespace

void InstallKeyboard(frmTembrel& window) {
    new KeyboardControl(window);
}
