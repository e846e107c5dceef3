#include "platform/posix/regexp_pcre2.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix/gbk.h"

namespace kestrova::posix {

namespace {

using platform::DISPATCH_METHOD;
using platform::DISPATCH_PROPERTYGET;
using platform::DISPATCH_PROPERTYPUT;

// The JIT code keeps its backtracking state on this stack; the default 32 KiB
// block is too small for some patterns over pages of several megabytes.
constexpr size_t jitStackStart = 64 * 1024;
constexpr size_t jitStackMax = 8 * 1024 * 1024;

bool isMember(const Text& member, std::string_view name) {
    const std::string& bytes = member.bytes();
    if (bytes.size() != name.size()) {
        return false;
    }
    for (size_t i = 0; i < name.size(); ++i) {
        const auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c; };
        if (fold(bytes[i]) != fold(name[i])) {
            return false;
        }
    }
    return true;
}

bool isGet(uint16_t kind) { return kind == DISPATCH_PROPERTYGET; }

// A collection's Item is a property with an index, which automation clients
// also reach as a method.
bool isItemKind(uint16_t kind) { return kind == DISPATCH_PROPERTYGET || kind == DISPATCH_METHOD; }

bool isPut(uint16_t kind, const std::vector<Variant>& arguments) {
    return kind == DISPATCH_PROPERTYPUT && arguments.size() == 1;
}

bool toFlag(const Variant& value) {
    if (const auto* flag = std::get_if<bool>(&value)) {
        return *flag;
    }
    return variantToNumber(value) != 0;
}

// The index argument of Item, when it names one of `count` elements.
std::optional<size_t> itemIndex(const std::vector<Variant>& arguments, size_t count) {
    if (arguments.size() != 1) {
        return std::nullopt;
    }
    const double index = std::trunc(variantToNumber(arguments[0]));
    if (!(index >= 0 && index < static_cast<double>(count))) {
        return std::nullopt;
    }
    return static_cast<size_t>(index);
}

int32_t units(size_t count) { return static_cast<int32_t>(count); }

// A span of the subject in UTF-16 units.
struct Span {
    size_t start = 0;
    size_t end = 0;
};

struct Found {
    Span whole;
    std::vector<std::optional<Span>> groups;
};

using Subject = std::shared_ptr<const std::u16string>;

Text spanText(const std::u16string& subject, Span span) {
    return Text(utf16ToGbk(std::u16string_view(subject).substr(span.start, span.end - span.start)));
}

class SubMatches final : public platform::Dispatch {
public:
    SubMatches(Subject subject, std::vector<std::optional<Span>> groups)
        : subject_(std::move(subject)), groups_(std::move(groups)) {}

    std::optional<Variant> invoke(const Text& member, uint16_t kind, const std::vector<Variant>& arguments) override {
        if (isMember(member, "Count") && isGet(kind) && arguments.empty()) {
            return Variant(units(groups_.size()));
        }
        if (isMember(member, "Item") && isItemKind(kind)) {
            const std::optional<size_t> index = itemIndex(arguments, groups_.size());
            if (!index) {
                return std::nullopt;
            }
            // A group that took no part in the match reads as the empty value.
            const std::optional<Span>& group = groups_[*index];
            return group ? Variant(spanText(*subject_, *group)) : Variant();
        }
        return std::nullopt;
    }

private:
    Subject subject_;
    std::vector<std::optional<Span>> groups_;
};

class Match final : public platform::Dispatch {
public:
    Match(Subject subject, Found found) : subject_(std::move(subject)), found_(std::move(found)) {}

    std::optional<Variant> invoke(const Text& member, uint16_t kind, const std::vector<Variant>& arguments) override {
        if (!isGet(kind) || !arguments.empty()) {
            return std::nullopt;
        }
        if (isMember(member, "Value")) {
            return Variant(spanText(*subject_, found_.whole));
        }
        if (isMember(member, "FirstIndex")) {
            return Variant(units(found_.whole.start));
        }
        if (isMember(member, "Length")) {
            return Variant(units(found_.whole.end - found_.whole.start));
        }
        if (isMember(member, "SubMatches")) {
            return Variant(AutomationObject(std::make_shared<SubMatches>(subject_, found_.groups)));
        }
        return std::nullopt;
    }

private:
    Subject subject_;
    Found found_;
};

class MatchCollection final : public platform::Dispatch {
public:
    MatchCollection(Subject subject, std::vector<Found> matches)
        : subject_(std::move(subject)), matches_(std::move(matches)) {}

    std::optional<Variant> invoke(const Text& member, uint16_t kind, const std::vector<Variant>& arguments) override {
        if (isMember(member, "Count") && isGet(kind) && arguments.empty()) {
            return Variant(units(matches_.size()));
        }
        if (isMember(member, "Item") && isItemKind(kind)) {
            const std::optional<size_t> index = itemIndex(arguments, matches_.size());
            if (!index) {
                return std::nullopt;
            }
            return Variant(AutomationObject(std::make_shared<Match>(subject_, matches_[*index])));
        }
        return std::nullopt;
    }

private:
    Subject subject_;
    std::vector<Found> matches_;
};

struct CodeFree {
    void operator()(pcre2_code* code) const { pcre2_code_free(code); }
};
struct CompileContextFree {
    void operator()(pcre2_compile_context* context) const { pcre2_compile_context_free(context); }
};
struct MatchContextFree {
    void operator()(pcre2_match_context* context) const { pcre2_match_context_free(context); }
};
struct MatchDataFree {
    void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};
struct JitStackFree {
    void operator()(pcre2_jit_stack* stack) const { pcre2_jit_stack_free(stack); }
};

// One search of a compiled pattern over one subject, with the limits a page
// of several megabytes in a single line needs.
class Matcher {
public:
    static std::optional<Matcher> compile(const std::u16string& pattern, bool ignoreCase, bool multiline) {
        std::unique_ptr<pcre2_compile_context, CompileContextFree> context(pcre2_compile_context_create(nullptr));
        if (!context) {
            return std::nullopt;
        }
        // Only a line feed ends a line, so "." matches everything else, CR included.
        pcre2_set_newline(context.get(), PCRE2_NEWLINE_LF);
        uint32_t options = PCRE2_UTF | PCRE2_ALT_BSUX | PCRE2_MATCH_UNSET_BACKREF | PCRE2_DOLLAR_ENDONLY;
        if (ignoreCase) {
            options |= PCRE2_CASELESS;
        }
        if (multiline) {
            options |= PCRE2_MULTILINE;
        }
        int error = 0;
        PCRE2_SIZE errorOffset = 0;
        std::unique_ptr<pcre2_code, CodeFree> code(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()),
                                                                 pattern.size(), options, &error, &errorOffset,
                                                                 context.get()));
        if (!code) {
            return std::nullopt;
        }
        // Without JIT support the interpreter runs the same pattern.
        pcre2_jit_compile(code.get(), PCRE2_JIT_COMPLETE);
        Matcher matcher;
        pcre2_pattern_info(code.get(), PCRE2_INFO_CAPTURECOUNT, &matcher.groupCount_);
        matcher.code_ = std::move(code);
        matcher.data_.reset(pcre2_match_data_create_from_pattern(matcher.code_.get(), nullptr));
        matcher.context_.reset(pcre2_match_context_create(nullptr));
        matcher.jitStack_.reset(pcre2_jit_stack_create(jitStackStart, jitStackMax, nullptr));
        if (!matcher.data_ || !matcher.context_) {
            return std::nullopt;
        }
        // A lazy group that has to scan a multi-megabyte line costs one step per
        // character; the patterns are the program's own, so no step limit
        // should cut a search short.
        pcre2_set_match_limit(matcher.context_.get(), std::numeric_limits<uint32_t>::max());
        if (matcher.jitStack_) {
            pcre2_jit_stack_assign(matcher.context_.get(), nullptr, matcher.jitStack_.get());
        }
        return matcher;
    }

    // Every match from the start of the subject (only the first unless
    // `global`); nothing when the search fails.
    std::optional<std::vector<Found>> findAll(const std::u16string& subject, bool global) {
        std::vector<Found> found;
        size_t start = 0;
        bool afterEmpty = false;
        while (start <= subject.size()) {
            // After an empty match, first look for a non-empty one at the same
            // place, then move on by one character.
            const uint32_t options = afterEmpty ? (PCRE2_NOTEMPTY_ATSTART | PCRE2_ANCHORED) : 0;
            const int result = run(subject, start, options);
            if (result == PCRE2_ERROR_NOMATCH) {
                if (!afterEmpty) {
                    break;
                }
                start += isSurrogatePair(subject, start) ? 2 : 1;
                afterEmpty = false;
                continue;
            }
            if (result < 0) {
                return std::nullopt;
            }
            found.push_back(take());
            if (!global) {
                break;
            }
            start = found.back().whole.end;
            afterEmpty = found.back().whole.start == found.back().whole.end;
        }
        return found;
    }

private:
    static bool isSurrogatePair(const std::u16string& subject, size_t at) {
        return at + 1 < subject.size() && subject[at] >= 0xD800 && subject[at] <= 0xDBFF && subject[at + 1] >= 0xDC00 &&
               subject[at + 1] <= 0xDFFF;
    }

    int run(const std::u16string& subject, size_t start, uint32_t options) {
        // The subject came out of the code-page converter, which writes only
        // well-formed UTF-16.
        const auto text = reinterpret_cast<PCRE2_SPTR>(subject.data());
        int result = pcre2_match(code_.get(), text, subject.size(), start, options | PCRE2_NO_UTF_CHECK, data_.get(),
                                 context_.get());
        if (result == PCRE2_ERROR_JIT_STACKLIMIT) {
            // The interpreter keeps its state on the heap instead.
            result = pcre2_match(code_.get(), text, subject.size(), start, options | PCRE2_NO_UTF_CHECK | PCRE2_NO_JIT,
                                 data_.get(), context_.get());
        }
        return result;
    }

    Found take() const {
        const PCRE2_SIZE* vector = pcre2_get_ovector_pointer(data_.get());
        Found found;
        found.whole = Span{vector[0], vector[1]};
        for (uint32_t group = 1; group <= groupCount_; ++group) {
            const PCRE2_SIZE start = vector[2 * group];
            const PCRE2_SIZE end = vector[2 * group + 1];
            found.groups.push_back(start == PCRE2_UNSET ? std::nullopt : std::optional<Span>(Span{start, end}));
        }
        return found;
    }

    std::unique_ptr<pcre2_code, CodeFree> code_;
    std::unique_ptr<pcre2_match_data, MatchDataFree> data_;
    std::unique_ptr<pcre2_match_context, MatchContextFree> context_;
    std::unique_ptr<pcre2_jit_stack, JitStackFree> jitStack_;
    uint32_t groupCount_ = 0;
};

// Appends the replacement for one match: $$ is a dollar, $& the match, $` and
// $' the subject before and after it, $n and $nn a group (an unknown group
// number stays as written).
void expandReplacement(std::u16string& out, const std::u16string& replacement, const std::u16string& subject,
                       const Found& found) {
    const auto isDigit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
    const auto appendSpan = [&](Span span) { out.append(subject, span.start, span.end - span.start); };
    const auto appendGroup = [&](size_t number) {
        if (const std::optional<Span>& group = found.groups[number - 1]) {
            appendSpan(*group);
        }
    };
    for (size_t i = 0; i < replacement.size(); ++i) {
        const char16_t c = replacement[i];
        if (c != u'$' || i + 1 == replacement.size()) {
            out += c;
            continue;
        }
        const char16_t next = replacement[i + 1];
        if (next == u'$') {
            out += u'$';
            ++i;
        } else if (next == u'&') {
            appendSpan(found.whole);
            ++i;
        } else if (next == u'`') {
            appendSpan(Span{0, found.whole.start});
            ++i;
        } else if (next == u'\'') {
            appendSpan(Span{found.whole.end, subject.size()});
            ++i;
        } else if (isDigit(next)) {
            const size_t one = static_cast<size_t>(next - u'0');
            const bool hasSecond = i + 2 < replacement.size() && isDigit(replacement[i + 2]);
            const size_t two = hasSecond ? one * 10 + static_cast<size_t>(replacement[i + 2] - u'0') : 0;
            if (hasSecond && two >= 1 && two <= found.groups.size()) {
                appendGroup(two);
                i += 2;
            } else if (one >= 1 && one <= found.groups.size()) {
                appendGroup(one);
                ++i;
            } else {
                out += c;
            }
        } else {
            out += c;
        }
    }
}

class RegExp final : public platform::Dispatch {
public:
    std::optional<Variant> invoke(const Text& member, uint16_t kind, const std::vector<Variant>& arguments) override {
        if (isMember(member, "Pattern")) {
            return property(pattern_, kind, arguments);
        }
        if (isMember(member, "IgnoreCase")) {
            return property(ignoreCase_, kind, arguments);
        }
        if (isMember(member, "Global")) {
            return property(global_, kind, arguments);
        }
        if (isMember(member, "Multiline")) {
            return property(multiline_, kind, arguments);
        }
        if (isMember(member, "Execute") && kind == DISPATCH_METHOD && arguments.size() == 1) {
            return execute(arguments[0]);
        }
        if (isMember(member, "Replace") && kind == DISPATCH_METHOD && arguments.size() == 2) {
            return replace(arguments[0], arguments[1]);
        }
        return std::nullopt;
    }

private:
    static std::optional<Variant> property(Text& value, uint16_t kind, const std::vector<Variant>& arguments) {
        if (isGet(kind) && arguments.empty()) {
            return Variant(value);
        }
        if (isPut(kind, arguments)) {
            value = variantToText(arguments[0]);
            return Variant();
        }
        return std::nullopt;
    }

    static std::optional<Variant> property(bool& value, uint16_t kind, const std::vector<Variant>& arguments) {
        if (isGet(kind) && arguments.empty()) {
            return Variant(value);
        }
        if (isPut(kind, arguments)) {
            value = toFlag(arguments[0]);
            return Variant();
        }
        return std::nullopt;
    }

    std::optional<Matcher> compile() const {
        return Matcher::compile(gbkToUtf16(pattern_.bytes()), ignoreCase_, multiline_);
    }

    std::optional<Variant> execute(const Variant& subjectValue) const {
        std::optional<Matcher> matcher = compile();
        if (!matcher) {
            return std::nullopt;
        }
        auto subject = std::make_shared<const std::u16string>(gbkToUtf16(variantToText(subjectValue).bytes()));
        std::optional<std::vector<Found>> found = matcher->findAll(*subject, global_);
        if (!found) {
            return std::nullopt;
        }
        return Variant(AutomationObject(std::make_shared<MatchCollection>(std::move(subject), std::move(*found))));
    }

    std::optional<Variant> replace(const Variant& subjectValue, const Variant& replacementValue) const {
        std::optional<Matcher> matcher = compile();
        if (!matcher) {
            return std::nullopt;
        }
        const std::u16string subject = gbkToUtf16(variantToText(subjectValue).bytes());
        const std::u16string replacement = gbkToUtf16(variantToText(replacementValue).bytes());
        std::optional<std::vector<Found>> found = matcher->findAll(subject, global_);
        if (!found) {
            return std::nullopt;
        }
        std::u16string out;
        size_t copied = 0;
        for (const Found& match : *found) {
            out.append(subject, copied, match.whole.start - copied);
            expandReplacement(out, replacement, subject, match);
            copied = match.whole.end;
        }
        out.append(subject, copied, std::u16string::npos);
        return Variant(Text(utf16ToGbk(out)));
    }

    Text pattern_;
    bool ignoreCase_ = false;
    bool global_ = false;
    bool multiline_ = false;
};

}  // namespace

std::shared_ptr<platform::Dispatch> createRegExp() { return std::make_shared<RegExp>(); }

}  // namespace kestrova::posix
