#pragma once
// A drawing target that records every call, one line of text per call.
#include <cstdio>
#include <string>
#include <vector>

#include "drawing/DrawingTarget.h"
#include "support/Lists.h"

namespace qef::test {

class RecordingDrawing : public DrawingTarget {
public:
    bool attachResult = true;
    // "attach", "layer toadokc1 1", "point toadokc1 500.25 1000.5 0",
    // "line sohieukc1 c1 1 2 0 > 3 4 0", "text sohieukc1 ' A' 1 2 0 h3.5", "detach".
    std::vector<std::string> calls;

    bool Attach() override {
        calls.push_back("attach");
        return attachResult;
    }
    void AddLayer(const std::string& name, int colour) override {
        calls.push_back("layer " + name + " " + std::to_string(colour));
    }
    void AddPoint(const std::string& layer, const DrawingPoint& at) override {
        calls.push_back("point " + layer + " " + Xyz(at));
    }
    void AddLine(const std::string& layer, int colour, const DrawingPoint& from,
                 const DrawingPoint& to) override {
        calls.push_back("line " + layer + " c" + std::to_string(colour) + " " + Xyz(from) + " > " + Xyz(to));
    }
    void AddText(const std::string& layer, const std::string& text, const DrawingPoint& at,
                 double height) override {
        calls.push_back("text " + layer + " '" + text + "' " + Xyz(at) + " h" + Num(height));
    }
    bool Detach() override {
        calls.push_back("detach");
        return true;
    }
    std::string FailureMessage() const override { return "drawing failed"; }

    static std::string Num(double v) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.10g", v);
        return buf;
    }
    static std::string Xyz(const DrawingPoint& p) { return Num(p.X) + " " + Num(p.Y) + " " + Num(p.Z); }
};

}  // namespace qef::test
