#pragma once
// Where the drawing exports put their layers and entities. Coordinates are in the drawing's own
// axes (x east, y north); the exporters do the swap from survey X/Y. Texts are TCVN3 bytes.
#include <string>

#include "core/model/Interaction.h"

namespace qef {

struct DrawingPoint {
    double X = 0.0;
    double Y = 0.0;
    double Z = 0.0;
};

class DrawingTarget {
public:
    virtual ~DrawingTarget() = default;

    // Starts one export. False when the drawing cannot be reached; the export then draws nothing.
    virtual bool Attach() = 0;
    // Adding a layer that the drawing already has changes nothing.
    virtual void AddLayer(const std::string& name, int colour) = 0;
    // A point, a line and a text on a layer (AcadDrawPoint, AcadDrawLine, AcadDrawText).
    virtual void AddPoint(const std::string& layer, const DrawingPoint& at) = 0;
    virtual void AddLine(const std::string& layer, int colour, const DrawingPoint& from,
                         const DrawingPoint& to) = 0;
    virtual void AddText(const std::string& layer, const std::string& text, const DrawingPoint& at,
                         double height) = 0;
    // Ends the export and makes everything drawn so far lasting. False when that failed.
    virtual bool Detach() = 0;
    // The message shown when Attach or Detach fails.
    virtual std::string FailureMessage() const = 0;

    // A drawing serves one command; its failure is told to the user once, however many
    // exports of the command meet it.
    void ReportFailure(Interaction& ui) {
        if (failureReported_) return;
        failureReported_ = true;
        ui.Message(FailureMessage());
    }

private:
    bool failureReported_ = false;
};

}  // namespace qef
