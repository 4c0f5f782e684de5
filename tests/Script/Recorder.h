#pragma once

#include "Script/Exception.h"

#include <functional>
#include <sstream>
#include <string>

// An object with members covering every parameter and result type the engine publishes to
// Lua (by value and by const reference, const members, none to three parameters). Each call
// is recorded as "Name(arg,arg)" in calls_; results are simple functions of the arguments.
class Recorder {
public:
    std::string Text() { return Add("Text()"), text_; }
    void Take(std::string s) { Add("Take(" + s + ")"); }
    void Touch() { Add("Touch()"); }
    void Fade(const std::string& s, float a, float b) { Add("Fade(" + Join(s, a, b) + ")"); }
    int Dice(int a, int b) { return Add("Dice(" + Join(a, b) + ")"), a * 10 + b; }
    bool Has(const std::string& s) { return Add("Has(" + s + ")"), s == "key"; }
    void SetPos3(float x, float y, int t) { Add("SetPos3(" + Join(x, y, t) + ")"); }
    float Dist(float x) { return Add("Dist(" + Join(x) + ")"), x * 2.0f; }
    void SetSound(std::string s, int v) { Add("SetSound(" + Join(s, v) + ")"); }
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

// The text of the lua::exception an action throws, or "no error".
inline std::string ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const lua::exception& e) {
        return e.Text();
    }
    return "no error";
}
