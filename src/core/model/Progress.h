#pragma once
// Progress of a running computation, shown by the monitor window. Texts are TCVN3 bytes.
#include <string>

namespace qef {

// The labels of the monitor window.
enum class MonitorLabel {
    Stage,     // current stage ("Ltientrinh")
    Nodes,     // nodes in the current group ("Lsonut")
    Branches,  // branches in the current group ("Lsonhanh")
    Angles,    // number of angles ("Lsogoc")
    Sides,     // number of sides ("Lsocanh")
    Accuracy,  // accuracy-estimation stage ("Label4")
    Start,     // start text ("Batdau")
    End,       // end text ("Ketthuc")
};

class Progress {
public:
    virtual ~Progress() = default;
    // Shows the monitor (not modally) with its texts reset.
    virtual void Show() = 0;
    virtual void SetText(MonitorLabel label, const std::string& text) = 0;
    virtual void SetRange(int minimum, int maximum) = 0;
    virtual void SetPosition(int position) = 0;
};

// The time of day as the monitor shows it ("HH:MM:SS").
std::string TimeOfDay();

class NullProgress : public Progress {
public:
    void Show() override {}
    void SetText(MonitorLabel, const std::string&) override {}
    void SetRange(int, int) override {}
    void SetPosition(int) override {}
};

}  // namespace qef
