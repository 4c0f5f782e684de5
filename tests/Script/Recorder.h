#pragma once

#include <sstream>
#include <string>

// An object with one member of every signature the engine publishes to Lua. Each call is
// recorded as "Name(arg,arg)" in calls_, so a test sees exactly what was bound; results
// are simple functions of the arguments.
class Recorder {
public:
    std::string Text() { return Add("Text()"), text_; }
    void Take(std::string s) { Add("Take(" + s + ")"); }
    void Touch() { Add("Touch()"); }
    bool Flag() { return Add("Flag()"), true; }
    float Value() { return Add("Value()"), 1.5f; }
    void TakeRef(const std::string& s) { Add("TakeRef(" + s + ")"); }
    void Fade(const std::string& s, float a, float b) { Add("Fade(" + Join(s, a, b) + ")"); }
    int Dice(int a, int b) { return Add("Dice(" + Join(a, b) + ")"), a * 10 + b; }
    void Halt(float f) { Add("Halt(" + Join(f) + ")"); }
    void Mask(int i) { Add("Mask(" + Join(i) + ")"); }
    std::string SavePart(int i) { return Add("SavePart(" + Join(i) + ")"), "part" + Join(i); }
    float SaveTime(int i) {
        return Add("SaveTime(" + Join(i) + ")"), static_cast<float>(i) + 0.25f;
    }
    bool Has(const std::string& s) { return Add("Has(" + s + ")"), s == "key"; }
    void SetPos3(float x, float y, int t) { Add("SetPos3(" + Join(x, y, t) + ")"); }
    void SetFov(float f, int t) { Add("SetFov(" + Join(f, t) + ")"); }
    float Dist(float x) { return Add("Dist(" + Join(x) + ")"), x * 2.0f; }
    float DistEx(float x, float y) { return Add("DistEx(" + Join(x, y) + ")"), x + y; }
    void SetSound(std::string s, int v) { Add("SetSound(" + Join(s, v) + ")"); }
    void SetPos2(float x, float y) { Add("SetPos2(" + Join(x, y) + ")"); }
    bool IsActive() const { return true; }

    std::string calls_;
    std::string text_ = "ctx";

private:
    void Add(const std::string& call) { calls_ += (calls_.empty() ? "" : ";") + call; }

    template <typename... T>
    static std::string Join(const T&... values) {
        std::ostringstream out;
        const char* separator = "";
        ((out << separator << values, separator = ","), ...);
        return out.str();
    }
};
