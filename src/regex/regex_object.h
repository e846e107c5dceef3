#pragma once
// A regular-expression object over the "VBScript.RegExp" automation class.

#include <cstdint>

#include "foundation/automation.h"
#include "foundation/text.h"

namespace kestrova {

class RegexObject {
public:
    RegexObject();
    ~RegexObject();
    RegexObject(const RegexObject&) = delete;
    RegexObject& operator=(const RegexObject&) = delete;

    bool execute(const Text& pattern, const Text& subject, bool caseSensitive = false, bool multiline = true,
                 bool global = true, bool quotePlaceholder = false);
    Text pattern() const;
    Text replace(const Text& replacement = Text());
    int32_t matchCount() const;
    // Match and group numbers count from 1; a given `position` receives the
    // 0-based byte offset of the found text in the subject.
    Text matchText(int32_t match, int32_t* position = nullptr) const;
    Text subMatchText(int32_t match, int32_t group, int32_t* position = nullptr) const;
    int32_t subMatchCount() const;

private:
    AutomationObject regExp;
    AutomationObject matches;
    Variant subject;
};

}  // namespace kestrova
