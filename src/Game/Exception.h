#pragma once

#include <exception>
#include <string>

// The text of a failed platform call: "HRESULT: " + the result as a signed decimal
// number + "\n" + where.
std::string HResultText(int result, const std::string& where);

// The program's one error type: a standard exception carrying a text.
class exception : public std::exception {
public:
    // No text: what() answers "Unknown exception".
    exception();
    explicit exception(const std::string& text);
    // From a failed call's result code and a location text (see HResultText).
    exception(int result, const std::string& where);

    const char* what() const noexcept override;

private:
    std::string text_;
};
