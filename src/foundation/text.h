#pragma once
// The value types every routine is written in: code page 936 text, raw bytes
// and 1-based arrays of text, with the text operations.

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Every narrow literal of the project is code page 936 (the build passes
// -fexec-charset=GB18030, the same bytes for every 936 character); a literal in
// UTF-8 would silently corrupt every Chinese marker, caption and status text.
static_assert(sizeof("中") == 3, "narrow literals must be compiled as code page 936");

namespace kestrova {

// Code page 936 bytes that never hold a NUL: whatever stands after a NUL in the
// data it is made from is dropped, as a zero-terminated string would drop it.
class Text {
public:
    Text() = default;
    Text(const char* zeroTerminated);  // implicit: literals are the common case
    explicit Text(std::string_view bytes);

    const std::string& bytes() const { return bytes_; }
    const char* c_str() const { return bytes_.c_str(); }
    int32_t length() const { return static_cast<int32_t>(bytes_.size()); }
    bool empty() const { return bytes_.empty(); }
    // The byte at 1-based `position`; the caller keeps it within 1..length.
    unsigned char byteAt(int32_t position) const {
        return static_cast<unsigned char>(bytes_[static_cast<size_t>(position - 1)]);
    }

    Text& operator+=(const Text& other) {
        bytes_ += other.bytes_;
        return *this;
    }
    friend bool operator==(const Text&, const Text&) = default;

private:
    std::string bytes_;
};

inline Text operator+(Text left, const Text& right) {
    left += right;
    return left;
}

// A byte sequence with an explicit length; it may hold NUL bytes.
class Bytes {
public:
    Bytes() = default;
    Bytes(std::initializer_list<unsigned char> bytes) : bytes_(bytes) {}
    explicit Bytes(std::vector<unsigned char> bytes) : bytes_(std::move(bytes)) {}
    // Every byte of `raw`, NULs included.
    static Bytes fromRaw(std::string_view raw) {
        return Bytes(std::vector<unsigned char>(raw.begin(), raw.end()));
    }

    const std::vector<unsigned char>& data() const { return bytes_; }
    int32_t length() const { return static_cast<int32_t>(bytes_.size()); }
    bool empty() const { return bytes_.empty(); }
    // The byte at 1-based `index`; the caller keeps it within 1..length.
    unsigned char at(int32_t index) const { return bytes_[static_cast<size_t>(index - 1)]; }
    std::string_view view() const {
        return {reinterpret_cast<const char*>(bytes_.data()), bytes_.size()};
    }

    // Appends in place, so that a body read piece by piece grows in linear time.
    void append(const unsigned char* data, size_t size) { bytes_.insert(bytes_.end(), data, data + size); }
    void append(const Bytes& other) { append(other.bytes_.data(), other.bytes_.size()); }

    friend bool operator==(const Bytes&, const Bytes&) = default;

private:
    std::vector<unsigned char> bytes_;
};

// An ordered array of texts addressed from 1.
class TextArray {
public:
    TextArray() = default;
    TextArray(std::initializer_list<Text> items) : items_(items) {}

    int32_t size() const { return static_cast<int32_t>(items_.size()); }
    // The element at 1-based `index`; the caller keeps it within 1..size.
    const Text& item(int32_t index) const { return items_[static_cast<size_t>(index - 1)]; }
    void append(Text text) { items_.push_back(std::move(text)); }
    void clear() { items_.clear(); }

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }
    friend bool operator==(const TextArray&, const TextArray&) = default;

private:
    std::vector<Text> items_;
};

int32_t textLength(const Text& text);

template <class... More>
Text concatText(const Text& first, const Text& second, const More&... more) {
    Text joined = first;
    joined += second;
    ((joined += Text(more)), ...);
    return joined;
}

int32_t findText(const Text& text, const Text& sought, int32_t start = 1, bool ignoreCase = false);
int32_t findTextReverse(const Text& text, const Text& sought, std::optional<int32_t> start = std::nullopt,
                        bool ignoreCase = false);
Text leftText(const Text& text, int32_t count);
Text rightText(const Text& text, int32_t count);
Text midText(const Text& text, int32_t start, int32_t count);
Text replaceText(const Text& text, const Text& sought, const Text& replacement = Text(), int32_t start = 1,
                 std::optional<int32_t> count = std::nullopt, bool ignoreCase = false);
TextArray splitText(const Text& text, const Text& delimiter = ",", std::optional<int32_t> maxCount = std::nullopt);
Text trimText(const Text& text);
Text toUpperText(const Text& text);
Text toLowerText(const Text& text);
int32_t charCode(const Text& text, int32_t position = 1);
Text charFromCode(int32_t code);
Text blankText(int32_t count);
int32_t arraySize(const TextArray& array);
void arrayAppend(TextArray& array, const Text& text);

}  // namespace kestrova
