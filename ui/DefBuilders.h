// Shorthands for writing definitions as tables.
#pragma once

#include <string>

#include "platform/WindowDef.h"

namespace mj::ui::def {

using platform::Align;
using platform::ControlDef;
using platform::ControlKind;
using platform::Rgb;

inline ControlDef Control(ControlKind kind, std::string name, std::string parent, platform::Place place, bool tabStop,
                          std::string text = {}) {
    ControlDef c;
    c.kind = kind;
    c.name = std::move(name);
    c.parent = std::move(parent);
    c.place = place;
    c.tabStop = tabStop;
    c.text = std::move(text);
    return c;
}

inline ControlDef Button(std::string name, std::string parent, platform::Place place, std::string text) {
    return Control(ControlKind::Button, std::move(name), std::move(parent), place, true, std::move(text));
}

inline ControlDef Label(std::string name, std::string parent, platform::Place place, std::string text,
                        std::optional<Rgb> colour = {}, Align align = Align::Left, bool wrap = false) {
    ControlDef c = Control(ControlKind::Label, std::move(name), std::move(parent), place, false, std::move(text));
    c.textColour = colour;
    c.align = align;
    c.wordWrap = wrap;
    return c;
}

inline ControlDef Transparent(std::string name, std::string parent, platform::Place place, std::string text, Rgb colour,
                              bool wrap = false) {
    ControlDef c = Label(std::move(name), std::move(parent), place, std::move(text), colour, Align::Left, wrap);
    c.kind = ControlKind::TransparentLabel;
    return c;
}

inline ControlDef Group(std::string name, platform::Place place, std::string text = {},
                        std::optional<Rgb> colour = {}) {
    ControlDef c = Control(ControlKind::GroupBox, std::move(name), {}, place, false, std::move(text));
    c.textColour = colour;
    return c;
}

inline ControlDef Edit(std::string name, platform::Place place, std::string text = {}) {
    return Control(ControlKind::Edit, std::move(name), {}, place, true, std::move(text));
}

inline ControlDef Timer(std::string name) {
    ControlDef c = Control(ControlKind::Timer, std::move(name), {}, {}, false);
    c.shown = false;
    return c;
}

inline ControlDef WebLink(std::string name, std::string parent, platform::Place place, std::string caption,
                          std::string address) {
    ControlDef c =
        Control(ControlKind::Hyperlink, std::move(name), std::move(parent), place, false, std::move(caption));
    c.webLink = true;
    c.webAddress = std::move(address);
    return c;
}

inline const platform::FontDef kHeadingFont{"微软雅黑", 19, true};

}  // namespace mj::ui::def
