#pragma once
// The interface resources of one language: string table, menus, dialog templates and toolbar
// captions. The built-in English set is compiled into the application; a language module supplies
// a complete set of its own in the same shape.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace lang {

enum class ControlKind {
    Static,    // text label
    Edit,      // single-line edit
    Button,    // push button
    DefButton, // default push button
    CheckBox,
    RadioButton,
    GroupBox,
    ComboBox, // drop-down list
    ListView, // report-style list
    ProgressBar,
    Trackbar,
    Hyperlink,
    Picture, // video area or image
    Custom,
};

// Style bits of a control in a template.
enum ControlStyle : std::uint32_t {
    kStyleNone = 0,
    kStyleHidden = 1U << 0,
    kStyleDisabled = 1U << 1,
    kStyleReadOnly = 1U << 2,
    kStyleRightAlign = 1U << 3,
    kStyleCenter = 1U << 4,
    kStyleNumber = 1U << 5, // digits only
    kStyleMultiline = 1U << 6,
    kStyleBorder = 1U << 7,
    kStyleGroupStart = 1U << 8, // first radio button of a group
    kStylePushLike = 1U << 9,   // check box or radio button drawn as a push button
    kStyleAutoTicks = 1U << 10, // trackbar with automatic tick marks
    kStyleSelRange = 1U << 11,  // trackbar showing a selection range
    kStyleHScroll = 1U << 12,   // horizontal scroll bar (multi-line edit)
    kStyleVScroll = 1U << 13,   // vertical scroll bar (multi-line edit)
    kStyleNoWrap = 1U << 14,    // multi-line edit whose lines are not wrapped
};

struct DialogControl {
    int nId = -1; // -1 for controls without an id
    ControlKind kind = ControlKind::Static;
    std::string strText;
    int x = 0, y = 0, cx = 0, cy = 0; // dialog units; a drop-down list's cy is its closed height
    std::uint32_t style = kStyleNone;
    int nMaxLength = 0; // edit fields: most characters accepted, 0 for no limit
};

struct DialogTemplate {
    int nId = 0;
    std::string strCaption; // empty: no caption bar
    std::string strFont = "MS Sans Serif";
    int nPointSize = 8;
    int cx = 0, cy = 0; // dialog units
    std::vector<DialogControl> controls;
};

struct MenuItem {
    int nCommand = 0;               // 0 for a separator or a pop-up
    std::string strText;            // "&File"; empty for a separator
    std::vector<MenuItem> children; // non-empty for a pop-up
    bool bSeparator = false;
    bool bChecked = false; // shown with a check mark
};

struct Menu {
    int nId = 0;
    std::vector<MenuItem> items; // top-level pop-ups
};

struct ToolbarButton {
    int nCommand = 0;   // 0 for a separator
    int nCaptionId = 0; // string id of the caption
};

// A command's status-bar prompt is the string whose id is the command id; text after a line feed in
// it is the command's tool tip.
struct ResourceSet {
    std::uint16_t nLanguage = 0x0409;
    std::string strLanguageName = "&English";
    std::map<int, std::string> strings;
    std::map<int, Menu> menus;
    std::map<int, DialogTemplate> dialogs;
    std::vector<ToolbarButton> toolbar; // toolbar 128
};

} // namespace lang
