#include "drawing/DxfDrawing.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <exception>
#include <string_view>
#include <utility>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wshadow"
#pragma GCC diagnostic ignored "-Wconversion"
#pragma GCC diagnostic ignored "-Wpedantic"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#include "dl_dxf.h"
#pragma GCC diagnostic pop

#include "core/model/OutputSet.h"
#include "core/text/VnCodec.h"

namespace qef {

namespace {

// dxflib's own writer formats numbers through the C locale and cannot report a failed write;
// this one collects the group codes in memory, "." always, and the file is written by us.
class DxfText : public DL_WriterA {
public:
    // An empty name opens no file; every output goes through the overrides below.
    DxfText() : DL_WriterA("", DL_VERSION_R12) {}

    mutable std::string Text;

    void dxfReal(int gc, double value) const override { Put(gc, FormatReal(value)); }
    void dxfInt(int gc, int value) const override { Put(gc, std::to_string(value)); }
    void dxfHex(int gc, int value) const override {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%X", static_cast<unsigned>(value));
        Put(gc, buf);
    }
    void dxfString(int gc, const char* value) const override { Put(gc, value != nullptr ? value : ""); }
    void dxfString(int gc, const std::string& value) const override { Put(gc, value); }

private:
    void Put(int gc, std::string_view value) const {
        char code[16];
        std::snprintf(code, sizeof code, "%3d", gc);
        Text += code;
        Text += "\r\n";
        Text += value;
        Text += "\r\n";
    }

    static std::string FormatReal(double value) {
        if (!std::isfinite(value) || value == 0.0) return "0.0";
        char buf[400];
        auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
        if (ec != std::errc()) return "0.0";
        std::string text(buf, end);
        if (text.find('.') == std::string::npos) text += ".0";
        return text;
    }
};

// A value must stay on its own line of the file.
std::string OneLine(std::string text) {
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    return text;
}

bool IsDxfExtension(std::string_view ext) {
    if (ext.size() != 4) return false;
    for (std::size_t i = 0; i < 4; ++i) {
        char c = ext[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != ".dxf"[i]) return false;
    }
    return true;
}

}  // namespace

std::string DrawingPathFor(const std::string& resultFile) {
    std::size_t nameStart = resultFile.rfind('/');
    nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
    std::size_t dot = resultFile.rfind('.');
    // A leading dot starts a hidden name, not an extension.
    if (dot == std::string::npos || dot <= nameStart) return resultFile + ".dxf";
    if (IsDxfExtension(std::string_view(resultFile).substr(dot))) return resultFile + ".dxf";
    return resultFile.substr(0, dot) + ".dxf";
}

DxfDrawing::DxfDrawing(std::string path, DrawingWrites writes) : path_(std::move(path)), writes_(writes) {}

void DxfDrawing::AddLayer(const std::string& name, int colour) {
    std::string clean = OneLine(name);
    for (const Layer& layer : layers_)
        if (layer.Name == clean) return;
    layers_.push_back({std::move(clean), colour});
}

void DxfDrawing::AddPoint(const std::string& layer, const DrawingPoint& at) {
    Entity e;
    e.What = Kind::Point;
    e.Layer = OneLine(layer);
    e.A = at;
    entities_.push_back(std::move(e));
}

void DxfDrawing::AddLine(const std::string& layer, int colour, const DrawingPoint& from,
                         const DrawingPoint& to) {
    Entity e;
    e.What = Kind::Line;
    e.Layer = OneLine(layer);
    e.Colour = colour;
    e.A = from;
    e.B = to;
    entities_.push_back(std::move(e));
}

void DxfDrawing::AddText(const std::string& layer, const std::string& text, const DrawingPoint& at,
                         double height) {
    Entity e;
    e.What = Kind::Text;
    e.Layer = OneLine(layer);
    e.Text = OneLine(text);
    e.A = at;
    e.Height = height;
    entities_.push_back(std::move(e));
}

std::string DxfDrawing::FailureMessage() const {
    // File names are UTF-8 on this system; messages are TCVN3.
    std::string name = LooksLikeUtf8(path_) ? Utf8ToTcvn3(path_) : path_;
    return Vn("Không ghi được bản vẽ ") + name;
}

std::string DxfDrawing::Render() const {
    DxfText w;
    DL_Dxf dxf;
    // Sets the version that dxflib's writers follow; an empty name opens no file.
    delete dxf.out("", DL_VERSION_R12);

    dxf.writeHeader(w);
    w.sectionEnd();

    w.sectionTables();
    w.tableLinetypes(1);
    dxf.writeLinetype(w, DL_LinetypeData("CONTINUOUS", "Solid line", 0, 0, 0.0));
    w.tableEnd();
    w.tableLayers(static_cast<int>(layers_.size()) + 1);
    dxf.writeLayer(w, DL_LayerData("0", 0), DL_Attributes("", 7, 0, "CONTINUOUS", 1.0));
    for (const Layer& layer : layers_)
        dxf.writeLayer(w, DL_LayerData(layer.Name, 0), DL_Attributes("", layer.Colour, 0, "CONTINUOUS", 1.0));
    w.tableEnd();
    w.tableStyle(1);
    dxf.writeStyle(w, DL_StyleData("STANDARD", 0, 0.0, 1.0, 0.0, 0, 2.5, "txt", ""));
    w.tableEnd();
    w.sectionEnd();

    w.sectionEntities();
    for (const Entity& e : entities_) {
        DL_Attributes attributes(e.Layer, e.Colour, 0, "BYLAYER", 1.0);
        switch (e.What) {
        case Kind::Point:
            dxf.writePoint(w, DL_PointData(e.A.X, e.A.Y, e.A.Z), attributes);
            break;
        case Kind::Line:
            dxf.writeLine(w, DL_LineData(e.A.X, e.A.Y, e.A.Z, e.B.X, e.B.Y, e.B.Z), attributes);
            break;
        case Kind::Text:
            dxf.writeText(w,
                          DL_TextData(e.A.X, e.A.Y, e.A.Z, e.A.X, e.A.Y, e.A.Z, e.Height, 1.0, 0, 0, 0,
                                      e.Text, "STANDARD", 0.0),
                          attributes);
            break;
        }
    }
    w.sectionEnd();
    w.dxfEOF();
    return std::move(w.Text);
}

bool DxfDrawing::Write() const {
    std::string text;
    try {
        text = Render();
    } catch (const std::exception&) {
        return false;
    }
    std::string failure;
    return WriteSingleOutput(path_, text, failure);
}

}  // namespace qef
