// The task dialog's rules that need no window: its types, the line-break
// escapes, the choice between the native dialog and the emulation form, the
// native configuration, the emulation's units, button rows, layout and the
// text it copies. Platform-free, so it is tested natively.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace kel::taskdialog {

// A set of the values of a small enumeration.
template <class E>
class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> values) {
        for (E v : values) bits_ |= Bit(v);
    }
    constexpr bool Contains(E v) const { return (bits_ & Bit(v)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr void Include(E v) { bits_ |= Bit(v); }
    constexpr void Exclude(E v) { bits_ &= ~Bit(v); }
    constexpr uint32_t Bits() const { return bits_; }
    constexpr bool operator==(const TSet&) const = default;

private:
    static constexpr uint32_t Bit(E v) { return 1u << static_cast<unsigned>(v); }
    uint32_t bits_ = 0;
};

enum TTaskDialogOption {
    doHyperlinks,
    doCommandLinks,
    doCommandLinksNoIcon,
    doExpandedDefault,
    doExpandedFooter,
    doAllowMinimize,
    doVerifyChecked,
    doProgressBar,
    doProgressBarMarquee,
    doTimer,
    doNoDefaultRadioButton,
    doAllowDialogCancel
};
using TTaskDialogOptions = TSet<TTaskDialogOption>;

enum TCommonButton { cbOK, cbYes, cbNo, cbCancel, cbRetry, cbClose };
using TCommonButtons = TSet<TCommonButton>;
constexpr int CommonButtonCount = 6;

enum TTaskDialogIcon { tiBlank, tiWarning, tiQuestion, tiError, tiInformation, tiNotUsed, tiShield };
enum TTaskDialogFooterIcon { tfiBlank, tfiWarning, tfiQuestion, tfiError, tfiInformation, tfiShield };
enum TTaskDialogPosition { dpScreenCenter, dpOwnerFormCenter };
enum TNonNativeDialog { nndAuto, nndAlways };
enum TTaskDialogProgressState { psNormal, psError, psPaused };
enum TTaskDialogInputKind { ikEdit, ikMemo, ikComboEdit, ikComboList, ikDate, ikCustom, ikNone };

// Identifiers of the buttons and radio buttons a dialog returns.
constexpr int CustomButtonBase = 100;
constexpr int RadioButtonBase = 200;
constexpr int IdOK = 1, IdCancel = 2, IdRetry = 4, IdYes = 6, IdNo = 7, IdClose = 8;

// The identifier a common button returns, on both paths.
int CommonButtonId(TCommonButton button);

// What the component's published properties hold, in one record.
struct TTaskDialogSettings {
    std::wstring Title, Instruction, Content, ExpandedText, Footer;
    std::wstring ExpandControlText, CollapsControlText, VerificationText;
    std::vector<std::wstring> CustomButtons;
    std::vector<std::wstring> RadioButtons;
    TCommonButtons CommonButtons;
    int DefaultButton = 0;
    int DefaultRadioButton = RadioButtonBase;
    TTaskDialogIcon Icon = tiBlank;
    TTaskDialogFooterIcon FooterIcon = tfiBlank;
    TTaskDialogOptions Options;
    TTaskDialogPosition DialogPosition = dpScreenCenter;
    bool ApplicationIsParent = false;
    int HelpContext = 0;
    int ProgressBarMin = 0;
    int ProgressBarMax = 100;
    bool AutoClose = false;
    int AutoCloseTimeOut = 0;
    TNonNativeDialog NonNativeDialog = nndAuto;
    int NonNativeMinFormWidth = 350;
};

// -- Line breaks

// The native path's rule: a doubled escape ("\\n") turns into a single one
// and nothing else changes; else every "\n" escape becomes a line feed.
std::wstring ConvertLineBreakEscapes(const std::wstring& text);
// Whether the text marks line breaks with "\n", telling a drive path whose
// folder begins with n (":\n...") apart from a break.
bool HasEscapedLineBreak(const std::wstring& text);
// Mini-HTML text: every "\n" escape and line feed becomes "<br>".
std::wstring HtmlLineBreaks(const std::wstring& text);
// Plain text: every "\n" escape becomes a carriage return.
std::wstring PlainLineBreaks(const std::wstring& text);
// Removes leading and trailing spaces (the space character only).
std::wstring TrimBlanks(const std::wstring& text);
// A command-link caption's lines: cut at "\n" escapes, else at carriage
// returns (a following character, the line feed, goes too).
std::vector<std::wstring> SplitTextLines(const std::wstring& text);

// -- Path choice

enum class TDialogPath { Emulated, Native };
// windowsMajor from GetVersionEx; comctlVersionMS the file version's high
// dword of COMCTL32.DLL, 0xFFFFFFFF when it cannot be read.
TDialogPath ChooseDialogPath(unsigned windowsMajor, uint32_t comctlVersionMS, TNonNativeDialog nonNative);

// -- Native configuration

struct TNativeButton {
    int Id;
    std::wstring Text;  // at most MaxNativeButtonText characters
};
constexpr size_t MaxNativeButtonText = 1023;

// The values of the native configuration record; a text that is empty
// leaves its pointer nil.
struct TNativeConfig {
    uint32_t Flags = 0;
    uint32_t CommonButtons = 0;
    std::wstring Title, Instruction, Content, Footer;
    std::wstring ExpandedInformation, ExpandedControlText, CollapsedControlText, VerificationText;
    std::vector<TNativeButton> Buttons;
    std::vector<TNativeButton> RadioButtons;
    bool UseMainIconHandle = false;
    uint16_t MainIconId = 0;
    uint16_t FooterIconId = 0;
    int DefaultButton = 0;
    int DefaultRadioButton = 0;
};

constexpr uint32_t TDF_ENABLE_HYPERLINKS_ = 0x0001, TDF_USE_HICON_MAIN_ = 0x0002,
                   TDF_ALLOW_DIALOG_CANCELLATION_ = 0x0008, TDF_USE_COMMAND_LINKS_ = 0x0010,
                   TDF_USE_COMMAND_LINKS_NO_ICON_ = 0x0020, TDF_EXPAND_FOOTER_AREA_ = 0x0040,
                   TDF_EXPANDED_BY_DEFAULT_ = 0x0080, TDF_VERIFICATION_FLAG_CHECKED_ = 0x0100,
                   TDF_SHOW_PROGRESS_BAR_ = 0x0200, TDF_SHOW_MARQUEE_PROGRESS_BAR_ = 0x0400,
                   TDF_CALLBACK_TIMER_ = 0x0800, TDF_POSITION_RELATIVE_TO_WINDOW_ = 0x1000,
                   TDF_NO_DEFAULT_RADIO_BUTTON_ = 0x4000, TDF_CAN_BE_MINIMIZED_ = 0x8000;

TNativeConfig BuildNativeConfig(const TTaskDialogSettings& s, bool hasCustomIcon);
uint16_t NativeMainIconId(TTaskDialogIcon icon);
uint16_t NativeFooterIconId(TTaskDialogFooterIcon icon);
// The progress bar state message's wParam (PBST_NORMAL, PBST_ERROR, PBST_PAUSED).
unsigned NativeProgressState(TTaskDialogProgressState state);

// -- Both paths

// The options one execution runs with: a Cancel button allows cancelling.
// The component's own options are left alone.
TTaskDialogOptions EffectiveOptions(const TTaskDialogSettings& s);
// Adds 100 to the elapsed time of a tick; true when auto close is due.
bool TimerTickDue(int& elapsedTime, bool autoClose, int autoCloseTimeOut);
// The button auto close presses: DefaultButton when a button bears it, else
// the first button (custom ones first), else the lone OK.
int AutoCloseButton(const TTaskDialogSettings& s);
// Only web and mail links are handed to the shell.
bool IsOpenableLink(const std::wstring& href);

// -- Emulation

// MulDiv: the product divided, rounded half away from zero.
int MulDivRound(int number, int numerator, int denominator);

struct TDialogUnits {
    int HMargin = 0, VMargin = 0, HSpacing = 0, VSpacing = 0, ButtonHeight = 0, ButtonGap = 0;
};
// From the average character width and the height of the message font.
TDialogUnits DialogUnitsOf(int charWidth, int charHeight);
// A push button's width from its caption's width.
int PushButtonWidth(int captionWidth);

struct TCommonButtonRow {
    const wchar_t* Name;
    const wchar_t* Caption;
    int ModalResult;
};
const TCommonButtonRow& CommonButtonRowOf(TCommonButton button);

// Which common row is the default and which Esc stands for; with
// DefaultButton -1 row 0 only takes the focus and none is default.
struct TDefaultRows {
    int DefaultRow = 0;
    int CancelRow = 0;
    bool NoDefault = false;
};
TDefaultRows DefaultAndCancelRows(int defaultButton, TCommonButtons present);

// The identifier a custom push button row treats as default.
int CustomDefaultId(int defaultButton, TCommonButtons present);

// Client width of a built form: the widest row plus margins, within the
// minimum widths and the screen.
struct TClientWidthInput {
    int HeaderWidth = 0, RowWidth = 0, FooterTextWidth = 0, ExpandedTextWidth = 0;
    int HMargin = 0, MinWidth = 0, FormMinWidth = 0;
    int ScreenWidth = 0, EdgeWidth = 0;
};
int EmulatedClientWidth(const TClientWidthInput& in);

// The text Ctrl+C puts on the clipboard first: caption, instruction and the
// push buttons' captions (without "&") between dash lines.
std::wstring CopySummaryText(const std::wstring& caption, const std::wstring& instruction,
                             const std::vector<std::wstring>& buttonCaptions);
// What Ctrl+C leaves on the clipboard in the end.
std::wstring CopyDialogText(const std::wstring& title, const std::wstring& instruction, const std::wstring& content);

// -- Emulation layout

struct TTdSize {
    int Width = 0, Height = 0;
};
struct TTdRect {
    int Left = -1, Top = -1, Right = -1, Bottom = -1;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool operator==(const TTdRect&) const = default;
};

// What ArrangeTaskDialog needs of the form's controls, measured beforehand;
// the three texts are measured through the callbacks (box width in, size
// out) because their height depends on the width they get.
struct TArrangeInput {
    TDialogUnits Units;
    int ClientWidth = 0;
    int FormWidth = 0;  // the outer width; the footer box uses it
    bool HasInstruction = false;
    int InstructionHeight = 0;
    bool HasIcon = false;
    TTdRect Icon;
    bool HasContent = false;
    int RadioCount = 0;
    int RadioHeight = 0;
    bool CommandLinks = false;
    std::vector<int> LinkHeights;
    std::vector<int> LinkLefts;
    TTaskDialogInputKind InputKind = ikNone;
    int CustomInputHeight = -1;  // ikCustom: the control's height, -1 without one
    bool ProgressBar = false;
    int ProgressBarHeight = 12;
    bool HasExpandedText = false;
    bool Expanded = false;
    bool ExpandedFooter = false;
    int ExpandButtonHeight = 19;
    std::vector<int> CustomButtonWidths;  // push buttons only
    std::vector<int> CommonButtonWidths;
    bool HasVerification = false;
    int VerificationTextWidth = 0;
    int CheckBoxHeight = 0;
    bool HasFooter = false;
    bool HasFooterImage = false;
    std::function<TTdSize(int boxWidth)> MeasureContent, MeasureExpanded, MeasureFooter;
};

struct TArrangeResult {
    int ClientWidth = 0, ClientHeight = 0;
    bool InstructionVisible = false;
    TTdRect Content;
    int ContentWidth = 0, ContentHeight = 0;
    int InputTop = 0;
    int ProgressBarTop = 0;
    std::vector<int> RadioTops;
    int RadioWidth = 0;  // from the content left
    int ExpandedTop = 0;
    TTdRect Expanded;
    int ExpandedTextWidth = 0, ExpandedTextHeight = 0;
    std::vector<TTdRect> Links;
    int ExpandButtonLeft = 0, ExpandButtonTop = 0;
    TTdRect Verification;
    std::vector<int> CustomLefts, CommonLefts;
    int ButtonTop = 0;
    TTdRect Footer;
    int FooterTextWidth = 0, FooterTextHeight = 0;
    int FooterImageTop = 0;
    int FooterBandTop = 0;  // below the client area: no band
};

TArrangeResult ArrangeTaskDialog(const TArrangeInput& in);

// The content's left edge: after the icon, else the margin.
int ContentLeftOf(const TArrangeInput& in);

}  // namespace kel::taskdialog
