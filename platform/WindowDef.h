// Window definitions: plain data that the toolkit's one builder turns into a window.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace mj::platform {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct Place {
    int left = 0, top = 0, width = 0, height = 0;
};

enum class ControlKind {
    Button,
    Label,
    TransparentLabel,
    GroupBox,
    Edit,
    ComboBox,
    ProgressBar,
    Timer,
    Hyperlink,
    PictureBox,
    WebBrowser,
};

enum class Align { Left, Centre, Right };

struct FontDef {
    std::string family;  // as the definition names it; the toolkit adds the desktop's fallbacks
    int pixelHeight = 0;
    bool bold = false;
};

struct ComboItem {
    std::string text;
    std::int32_t value = 0;
};

struct ControlDef {
    ControlKind kind = ControlKind::Label;
    std::string name;
    std::string parent;  // empty: the window itself; otherwise a group box of the same window
    Place place;
    bool shown = true;
    bool tabStop = false;
    std::string text;

    std::optional<Rgb> textColour;
    Align align = Align::Left;
    bool wordWrap = false;
    std::optional<FontDef> font;

    // Edit box
    bool multiLine = false;
    bool readOnly = false;
    bool buttonFaceBackground = false;

    // Combo box
    std::vector<ComboItem> items;
    int currentIndex = -1;

    // Progress bar
    int rangeMin = 0, rangeMax = 100;

    // Timer
    int periodMs = 0;

    // Hyperlink: a web link holds a web address, an e-mail link an e-mail address
    bool webLink = true;
    std::string webAddress;
    std::string emailAddress;

    // Picture box: the picture's bytes (an embedded block)
    std::span<const unsigned char> picture;

    // Web browser box
    std::string startAddress;
    int textSize = 2;
    bool offline = false;
    bool silent = true;
};

struct MenuItemDef {
    std::string caption;
    int level = 0;
    bool hidden = false;
    bool disabled = false;
    bool ticked = false;
};

struct WindowDef {
    std::string name;
    std::string caption;
    int outerWidth = 0, outerHeight = 0;
    bool minimizeButton = false;
    std::vector<ControlDef> controls;  // top of the stacking order first
    std::vector<MenuItemDef> menu;

    const ControlDef* Find(const std::string& control) const {
        for (const auto& c : controls)
            if (c.name == control) return &c;
        return nullptr;
    }
};

}  // namespace mj::platform
