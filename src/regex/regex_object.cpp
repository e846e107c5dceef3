#include "regex/regex_object.h"

namespace kestrova {

namespace {

// The class counts items from 0, callers from 1.
Variant zeroBased(int32_t number) { return Variant(number < 1 ? int32_t{-1} : number - 1); }

// The 1-based byte position that `units` UTF-16 units into the text reach,
// counted as the code-page converter counts them: a lead byte 0x81-0xFE with
// a trail byte 0x40-0x7E or 0x80-0xFE is one unit for two bytes; every other
// byte (0x80 and 0xFF included, and a lead byte without a valid trail, whose
// next byte then counts on its own) is one unit.
int32_t bytePositionOfUnit(const Text& text, int32_t units) {
    const auto isLead = [](unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; };
    const auto isTrail = [](unsigned char byte) {
        return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFE);
    };
    int32_t position = 1;
    for (int32_t unit = 0; unit < units && position <= text.length(); ++unit) {
        const bool pair =
            isLead(text.byteAt(position)) && position < text.length() && isTrail(text.byteAt(position + 1));
        position += pair ? 2 : 1;
    }
    return position;
}

// The 0-based byte offset of `found` in the subject, searched from where
// `match` starts; -1 when it is not there.
int32_t foundPosition(const AutomationObject& regExp, const Variant& subject, const AutomationObject& match,
                      const Text& found) {
    if (match.isEmpty()) {
        return -1;
    }
    const Text subjectText = variantToText(subject);
    const int32_t firstIndex = variantToInteger(readMember(match, "FirstIndex"));
    const bool ignoreCase = variantToText(readMember(regExp, "IgnoreCase")) != Text("0");
    // FirstIndex counts UTF-16 units, fewer than the bytes before the match
    // when double-byte characters precede it: searching from FirstIndex itself
    // could take an earlier copy of the found text for it.
    const int32_t start = bytePositionOfUnit(subjectText, firstIndex);
    if (found.empty()) {
        return start - 1;
    }
    const int32_t position = findText(subjectText, found, start, ignoreCase);
    return position < 0 ? -1 : position - 1;
}

}  // namespace

RegexObject::RegexObject() { coInitialize(); }

RegexObject::~RegexObject() {
    regExp.clear();
    matches.clear();
    subject = Variant();
    coUninitialize();
}

bool RegexObject::execute(const Text& pattern, const Text& subjectText, bool caseSensitive, bool multiline, bool global,
                          bool quotePlaceholder) {
    const bool ignoreCase = !caseSensitive;
    regExp.clear();
    matches.clear();
    createObject(regExp, "VBScript.RegExp");
    writeMember(regExp, "IgnoreCase", {}, ignoreCase);
    writeMember(regExp, "Multiline", {}, multiline);
    // The class has no such property: the write fails, and "." goes on not
    // matching a line feed.
    writeMember(regExp, "Singleline", {}, true);
    writeMember(regExp, "Global", {}, global);
    writeMember(regExp, "Pattern", {}, quotePlaceholder ? replaceText(pattern, "#引号", "\"") : pattern);
    subject = subjectText;
    const Variant found = callMember(regExp, "Execute", {subject});
    matches.clear();
    matches = variantToObject(found);
    return !matches.isEmpty();
}

Text RegexObject::pattern() const {
    if (regExp.isEmpty()) {
        return Text();
    }
    return variantToText(readMember(regExp, "Pattern"));
}

Text RegexObject::replace(const Text& replacement) {
    if (regExp.isEmpty()) {
        return Text();
    }
    return variantToText(callMember(regExp, "Replace", {subject, Variant(replacement)}));
}

int32_t RegexObject::matchCount() const {
    if (matches.isEmpty()) {
        return 0;
    }
    return variantToInteger(readMember(matches, "Count"));
}

Text RegexObject::matchText(int32_t match, int32_t* position) const {
    const AutomationObject item = variantToObject(readMember(matches, "Item", {zeroBased(match)}));
    const Text found = variantToText(readMember(item, "Value"));
    if (position != nullptr) {
        *position = foundPosition(regExp, subject, item, found);
    }
    return found;
}

Text RegexObject::subMatchText(int32_t match, int32_t group, int32_t* position) const {
    const AutomationObject item = variantToObject(readMember(matches, "Item", {zeroBased(match)}));
    const AutomationObject groups = variantToObject(readMember(item, "SubMatches"));
    const Text found = variantToText(readMember(groups, "Item", {zeroBased(group)}));
    if (position != nullptr) {
        *position = foundPosition(regExp, subject, item, found);
    }
    return found;
}

int32_t RegexObject::subMatchCount() const {
    const AutomationObject first = variantToObject(readMember(matches, "Item", {Variant(int32_t{0})}));
    const AutomationObject groups = variantToObject(readMember(first, "SubMatches"));
    return variantToInteger(readMember(groups, "Count"));
}

}  // namespace kestrova
