#pragma once
// A drawing kept in memory and written as an ASCII DXF R12 file, which every CAD program opens.
// One drawing serves one command: each export adds to it and the whole file is rewritten when
// the export ends, so the file on disk is always complete; or, for a command of many exports,
// once when its owner writes it, so that the writing does not grow with their number.
#include <string>
#include <vector>

#include "drawing/DrawingTarget.h"

namespace qef {

// The drawing file of a command: its result file's name with the extension ".dxf".
// A result file that is itself a ".dxf" gets ".dxf" appended, so it is never overwritten.
std::string DrawingPathFor(const std::string& resultFile);

// When the file is written.
enum class DrawingWrites {
    EachExport,  // at the end of every export
    ByOwner,     // when the owner calls Write, after the last export
};

class DxfDrawing : public DrawingTarget {
public:
    explicit DxfDrawing(std::string path, DrawingWrites writes = DrawingWrites::EachExport);

    const std::string& Path() const { return path_; }

    bool Attach() override { return true; }
    void AddLayer(const std::string& name, int colour) override;
    void AddPoint(const std::string& layer, const DrawingPoint& at) override;
    void AddLine(const std::string& layer, int colour, const DrawingPoint& from,
                 const DrawingPoint& to) override;
    void AddText(const std::string& layer, const std::string& text, const DrawingPoint& at,
                 double height) override;
    bool Detach() override {
        exported_ = true;
        return writes_ == DrawingWrites::ByOwner || Write();
    }
    // An export has ended since the drawing was made: there is something to write.
    bool Exported() const { return exported_; }
    std::string FailureMessage() const override;

    // The whole drawing as DXF text (CR LF line ends).
    std::string Render() const;
    // Replaces the file with the whole drawing; the old file stays when writing fails.
    bool Write() const;

private:
    struct Layer {
        std::string Name;
        int Colour = 7;
    };
    enum class Kind { Point, Line, Text };
    struct Entity {
        Kind What = Kind::Point;
        std::string Layer;
        int Colour = 256;  // by layer
        DrawingPoint A;
        DrawingPoint B;
        std::string Text;
        double Height = 0.0;
    };

    std::string path_;
    DrawingWrites writes_;
    bool exported_ = false;
    std::vector<Layer> layers_;
    std::vector<Entity> entities_;
};

}  // namespace qef
