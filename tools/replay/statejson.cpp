// SPDX-License-Identifier: GPL-3.0-or-later
#include "statejson.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace replay {

using namespace forms;

namespace {

template <class Number>
std::string shortest(Number value) {
    if (!std::isfinite(value)) return "null";
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string quoted(std::string_view text) {
    std::string out(1, '"');
    for (const char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escape[8];
                    std::snprintf(escape, sizeof escape, "\\u%04x", c);
                    out += escape;
                } else {
                    out += c;
                }
        }
    }
    out += '"';
    return out;
}

// Builds one JSON object field by field.
class Object {
public:
    Object& raw(std::string_view key, const std::string& json) {
        if (out_.size() > 1) out_ += ',';
        out_ += quoted(key);
        out_ += ':';
        out_ += json;
        return *this;
    }
    Object& number(std::string_view key, float value) { return raw(key, jsonNumber(value)); }
    Object& number(std::string_view key, double value) { return raw(key, jsonNumber(value)); }
    Object& integer(std::string_view key, long long value) {
        return raw(key, std::to_string(value));
    }
    Object& text(std::string_view key, std::string_view value) { return raw(key, quoted(value)); }
    Object& flag(std::string_view key, bool value) { return raw(key, value ? "true" : "false"); }
    std::string str() const { return out_ + "}"; }

private:
    std::string out_ = "{";
};

std::string controlJson(const Control& control) {
    Object object;
    switch (control.kind()) {
        case ControlKind::Label: {
            const auto& label = static_cast<const Label&>(control);
            object.text("Caption", label.caption())
                .number("Left", label.left())
                .number("Top", label.top())
                .number("Width", label.width())
                .number("Height", label.height())
                .flag("Visible", label.isVisible());
            break;
        }
        case ControlKind::LineShape: {
            const auto& line = static_cast<const LineShape&>(control);
            object.number("X1", line.x1())
                .number("Y1", line.y1())
                .number("X2", line.x2())
                .number("Y2", line.y2())
                .integer("BorderColor", line.borderColor())
                .flag("Visible", line.isVisible());
            break;
        }
        case ControlKind::Shape: {
            const auto& shape = static_cast<const Shape&>(control);
            object.number("Left", shape.left())
                .number("Top", shape.top())
                .flag("Visible", shape.isVisible());
            break;
        }
        case ControlKind::Image: {
            const auto& image = static_cast<const Image&>(control);
            object.number("Left", image.left())
                .number("Top", image.top())
                .flag("Visible", image.isVisible());
            break;
        }
        case ControlKind::Button: {
            const auto& button = static_cast<const Button&>(control);
            object.text("Caption", button.caption()).flag("Visible", button.isVisible());
            break;
        }
        case ControlKind::TextBox: {
            const auto& box = static_cast<const TextBox&>(control);
            // No lesson hides a text box; the field keeps every control's record alike.
            object.text("Text", box.text()).flag("Visible", true);
            break;
        }
        case ControlKind::Timer: {
            const auto& timer = static_cast<const Timer&>(control);
            object.flag("Enabled", timer.isEnabled()).integer("Interval", timer.interval());
            break;
        }
        case ControlKind::Canvas: {
            const auto& canvas = static_cast<const Canvas&>(control);
            object.number("Left", canvas.left())
                .flag("AutoRedraw", canvas.autoRedraw())
                .integer("DrawWidth", canvas.drawWidth())
                .number("FontSize", canvas.fontSize())
                .flag("FontItalic", canvas.fontItalic())
                .number("ScaleLeft", float(canvas.scale().left()))
                .number("ScaleTop", float(canvas.scale().top()))
                .number("ScaleWidth", float(canvas.scale().width()))
                .number("ScaleHeight", float(canvas.scale().height()));
            break;
        }
    }
    return object.str();
}

std::string drawingJson(const DrawingCall& call) {
    Object object;
    switch (call.op) {
        case DrawingOp::Line:
            object.text("op", "Line")
                .number("x1", call.x1)
                .number("y1", call.y1)
                .number("x2", call.x2)
                .number("y2", call.y2);
            break;
        case DrawingOp::PSet:
            object.text("op", "PSet").number("x", call.x1).number("y", call.y1);
            break;
        case DrawingOp::Circle:
            object.text("op", "Circle")
                .number("x", call.x1)
                .number("y", call.y1)
                .number("radius", call.radius)
                .number("start", call.start)
                .number("end", call.end);
            break;
        case DrawingOp::Print:
            object.text("op", "Print")
                .number("x", call.x1)
                .number("y", call.y1)
                .text("text", call.text)
                .number("fontSize", call.fontSize)
                .flag("italic", call.italic);
            break;
        case DrawingOp::Cls:
            object.text("op", "Cls");
            break;
    }
    if (call.op != DrawingOp::Cls) object.integer("color", call.color);
    if (call.op == DrawingOp::Line || call.op == DrawingOp::PSet || call.op == DrawingOp::Circle)
        object.integer("width", call.width);
    return object.flag("persistent", call.persistent).str();
}

std::string variableJson(const Variable& variable) {
    return std::visit(
        [](auto value) -> std::string {
            if constexpr (std::is_same_v<decltype(value), int>)
                return std::to_string(value);
            else
                return jsonNumber(value);
        },
        variable.value);
}

template <class Item, class ToJson>
std::string array(const std::vector<Item>& items, ToJson toJson) {
    std::string out = "[";
    for (const Item& item : items) {
        if (out.size() > 1) out += ',';
        out += toJson(item);
    }
    out += ']';
    return out;
}

}  // namespace

std::string jsonNumber(float value) {
    return shortest(value);
}
std::string jsonNumber(double value) {
    return shortest(value);
}

std::string stateJson(std::string_view lesson, const Form& form, double zoomPercent,
                      const std::vector<Message>& messages, const DrawingLog& drawn) {
    Object controls;
    for (const Control* control : form.controls())
        controls.raw(control->name(), controlJson(*control));
    Object vars;
    for (const Variable& variable : form.variables())
        vars.raw(variable.name, variableJson(variable));
    const auto messageJson = [](const Message& message) {
        return Object()
            .text("title", message.title)
            .text("text", message.text)
            .text("icon", message.icon == MessageIcon::Exclamation ? "exclamation" : "none")
            .raw("buttons",
                 array(message.buttons, [](const std::string& text) { return quoted(text); }))
            .str();
    };
    const Control* focus = form.focusControl();
    return Object()
        .text("lesson", lesson)
        .raw("focus", focus ? quoted(focus->name()) : "null")
        .raw("controls", controls.str())
        .raw("vars", vars.str())
        .raw("zoom", jsonNumber(zoomPercent))
        .raw("messages", array(messages, messageJson))
        .raw("drawn", array(drawn, drawingJson))
        .str();
}

}  // namespace replay
