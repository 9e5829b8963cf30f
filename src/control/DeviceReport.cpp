#include "DeviceReport.h"

#include "SerialNumber.h"

#include <nlohmann/json.hpp>

#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <utility>

namespace {

using json = nlohmann::json;

enum class FieldType { text, boolean, integer };

// A member of a light's report and the LitraDevice field it fills; exactly one slot is set.
struct Field {
    std::string_view key;
    FieldType type;
    std::optional<QString> LitraDevice::*text = nullptr;
    std::optional<bool> LitraDevice::*boolean = nullptr;
    std::optional<qint64> LitraDevice::*integer = nullptr;
};

constexpr Field textField(std::string_view key, std::optional<QString> LitraDevice::*slot) {
    return {key, FieldType::text, slot, nullptr, nullptr};
}
constexpr Field integerField(std::string_view key, std::optional<qint64> LitraDevice::*slot) {
    return {key, FieldType::integer, nullptr, nullptr, slot};
}

// Table order is the order in which the fields are checked.
constexpr std::array<Field, 9> fields{{
    textField("serial_number", &LitraDevice::serial_number),
    textField("device_type", &LitraDevice::device_type),
    {"is_on", FieldType::boolean, nullptr, &LitraDevice::is_on, nullptr},
    integerField("brightness_in_lumen", &LitraDevice::brightness_in_lumen),
    integerField("temperature_in_kelvin", &LitraDevice::temperature_in_kelvin),
    integerField("minimum_brightness_in_lumen", &LitraDevice::minimum_brightness_in_lumen),
    integerField("maximum_brightness_in_lumen", &LitraDevice::maximum_brightness_in_lumen),
    integerField("minimum_temperature_in_kelvin", &LitraDevice::minimum_temperature_in_kelvin),
    integerField("maximum_temperature_in_kelvin", &LitraDevice::maximum_temperature_in_kelvin),
}};

// The exact value of a JSON number's text when it is integral and fits a signed 64-bit integer.
// Works on the digits, so 1e2 and 80.0 qualify while 9223372036854775808 and 1.5 do not.
std::optional<qint64> integralValue(std::string_view text) {
    bool negative = !text.empty() && text.front() == '-';
    if (negative) {
        text.remove_prefix(1);
    }
    std::string digits;
    long long exponent = 0;
    bool inFraction = false;
    std::size_t i = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c == '.') {
            inFraction = true;
        } else if (c >= '0' && c <= '9') {
            digits.push_back(c);
            if (inFraction) {
                --exponent;
            }
        } else {
            break;
        }
    }
    if (i < text.size()) {  // exponent part
        long long e = std::strtoll(std::string(text.substr(i + 1)).c_str(), nullptr, 10);
        if (e > 100 || e < -100) {
            // Far outside the 64-bit range unless the digits are all zeros.
            if (digits.find_first_not_of('0') == std::string::npos) {
                return 0;
            }
            return std::nullopt;
        }
        exponent += e;
    }
    std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos) {
        return 0;
    }
    digits.erase(0, first);
    while (exponent < 0) {
        if (digits.back() != '0') {
            return std::nullopt;  // fractional part
        }
        digits.pop_back();
        ++exponent;
    }
    if (digits.size() + static_cast<std::size_t>(exponent) > 19) {
        return std::nullopt;
    }
    digits.append(static_cast<std::size_t>(exponent), '0');
    const std::string limit = negative ? "9223372036854775808" : "9223372036854775807";
    if (digits.size() == 19 && digits > limit) {
        return std::nullopt;
    }
    std::uint64_t magnitude = std::stoull(digits);
    if (negative) {
        return static_cast<qint64>(0 - magnitude);
    }
    return static_cast<qint64>(magnitude);
}

// Streams the report through nlohmann's SAX interface so that number texts are seen exactly
// and no document tree is built. A wrong type does not stop the reading: a syntax error anywhere
// in the document takes precedence, and among the bad members of one light the first in table
// order is the one reported.
class ReportReader : public nlohmann::json_sax<json> {
public:
    explicit ReportReader(std::string_view input) : input_(input) {}

    std::vector<LitraDevice> devices;
    std::string failure;

    bool null() override { return scalar(Value::null, "null"); }
    bool boolean(bool v) override { return scalar(Value::boolean, v ? "true" : "false", v); }
    bool number_integer(number_integer_t v) override {
        return scalar(Value::number, std::to_string(v), false, v);
    }
    bool number_unsigned(number_unsigned_t v) override {
        auto text = std::to_string(v);
        return scalar(Value::number, text, false, integralValue(text));
    }
    bool number_float(number_float_t, const string_t& s) override {
        return scalar(Value::number, s, false, integralValue(s));
    }
    bool string(string_t& v) override { return scalar(Value::string, v); }
    bool binary(binary_t&) override { return scalar(Value::null, "binary data"); }

    bool start_object(std::size_t) override {
        if (depth_ == 1 && !failed()) {
            if (devices.size() == maxLights) {
                failure = "the report lists more than " + std::to_string(maxLights) + " lights";
                return false;
            }
            devices.emplace_back();
            currentField_ = -1;
        } else if (depth_ <= 2) {
            unexpected("an object");
        }
        ++depth_;
        return true;
    }
    bool end_object() override {
        if (--depth_ == 1 && !mismatch_.empty()) {
            fail(std::exchange(mismatch_, {}));
        }
        return true;
    }
    bool start_array(std::size_t) override {
        if (depth_ > 0) {
            unexpected("an array");
        }
        ++depth_;
        return true;
    }
    bool end_array() override {
        --depth_;
        return true;
    }
    bool key(string_t& name) override {
        if (depth_ == 2) {
            currentField_ = -1;
            for (std::size_t i = 0; i < fields.size(); ++i) {
                if (fields[i].key == name) {
                    currentField_ = static_cast<int>(i);
                }
            }
        }
        return true;
    }
    bool parse_error(std::size_t position, const std::string&,
                     const nlohmann::detail::exception& error) override {
        failure = syntaxMessage(position, error.what());
        return false;
    }

    // A NUL byte cannot appear in a JSON text, but nlohmann's reader takes it as the end.
    bool rejectNul() {
        const std::size_t nul = input_.find('\0');
        if (nul == std::string_view::npos) {
            return false;
        }
        failure = "not valid JSON at " + where(nul) + ": unexpected NUL byte";
        return true;
    }

private:
    enum class Value { null, boolean, number, string };

    // Far more lights than any computer has; the bound keeps a hostile report's memory small.
    static constexpr std::size_t maxLights = 256;

    bool failed() const { return !failure.empty(); }

    // Keeps the first failure, and stops taking in lights after it.
    void fail(std::string message) {
        if (!failed()) {
            failure = std::move(message);
        }
    }

    // `text` is the value as written, or a string's contents.
    bool scalar(Value kind, const std::string& text, bool flag = false,
                std::optional<qint64> integer = {}) {
        if (depth_ <= 1) {
            unexpected(typeName(kind, text));
            return true;
        }
        if (failed() || depth_ > 2 || currentField_ < 0 || kind == Value::null) {
            return true;  // unknown member, nested content, or an absent value
        }
        const Field& field = fields[static_cast<std::size_t>(currentField_)];
        LitraDevice& device = devices.back();
        const bool fits = field.type == FieldType::text      ? kind == Value::string
                          : field.type == FieldType::boolean ? kind == Value::boolean
                                                             : kind == Value::number && integer;
        if (!fits) {
            mismatch(typeName(kind, text));
        } else if (field.type == FieldType::text) {
            QString value = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
            const bool isSerialNumber = field.text == &LitraDevice::serial_number;
            if (const QString problem = isSerialNumber ? serialNumberProblem(value) : QString();
                !problem.isEmpty()) {
                fail("light " + std::to_string(devices.size()) + ": " + problem.toStdString());
            }
            device.*field.text = std::move(value);
        } else if (field.type == FieldType::boolean) {
            device.*field.boolean = flag;
        } else {
            device.*field.integer = *integer;
        }
        return true;
    }

    // A value where the top level wants an array, a light an object, or a member its type.
    void unexpected(const std::string& found) {
        if (depth_ == 0) {
            fail("expected an array of lights, found " + found);
        } else if (depth_ == 1) {
            fail("expected an object for light " + std::to_string(devices.size() + 1) + ", found " +
                 found);
        } else if (!failed() && currentField_ >= 0) {
            mismatch(found);
        }
    }

    void mismatch(const std::string& found) {
        if (!mismatch_.empty() && mismatchField_ <= currentField_) {
            return;
        }
        const Field& field = fields[static_cast<std::size_t>(currentField_)];
        const char* wanted = field.type == FieldType::text      ? "a string"
                             : field.type == FieldType::boolean ? "true or false"
                                                                : "an integer";
        mismatch_ = std::string("expected ") + wanted + " for \"" + std::string(field.key) +
                    "\" in light " + std::to_string(devices.size()) + ", found " + found;
        mismatchField_ = currentField_;
    }

    static std::string typeName(Value kind, const std::string& text) {
        switch (kind) {
            case Value::null:
                return "null";
            case Value::string:
                return "the string " + json(text).dump();
            default:
                return text;
        }
    }

    std::string where(std::size_t offset) const {
        std::size_t line = 1;
        std::size_t column = 1;
        for (std::size_t i = 0; i < std::min(offset, input_.size()); ++i) {
            if (input_[i] == '\n') {
                ++line;
                column = 1;
            } else {
                ++column;
            }
        }
        return "line " + std::to_string(line) + ", column " + std::to_string(column);
    }

    std::string syntaxMessage(std::size_t position, std::string_view what) const {
        // nlohmann's text reads "[json.exception.parse_error.101] parse error at line 1,
        // column 1: syntax error while parsing value - unexpected end of input; ...".
        // Or "[json.exception.out_of_range.406] number overflow parsing '1e999'".
        std::string_view reason = what;
        if (auto tag = reason.find("] ");
            reason.starts_with('[') && tag != std::string_view::npos) {
            reason.remove_prefix(tag + 2);
        }
        if (auto colon = reason.find(": "); colon != std::string_view::npos) {
            reason.remove_prefix(colon + 2);
        }
        if (auto dash = reason.find(" - "); dash != std::string_view::npos) {
            reason.remove_prefix(dash + 3);
        }
        return "not valid JSON at " + where(position > 0 ? position - 1 : 0) + ": " +
               std::string(reason);
    }

    int depth_ = 0;
    int currentField_ = -1;
    std::string mismatch_;  // the light's first bad member in table order, until its end
    int mismatchField_ = -1;
    std::string_view input_;
};

}  // namespace

std::vector<LitraDevice> decodeDeviceReport(QByteArrayView utf8) {
    std::string_view input(utf8.data(), static_cast<std::size_t>(utf8.size()));
    ReportReader reader(input);
    if (reader.rejectNul() || !json::sax_parse(input, &reader, json::input_format_t::json, true) ||
        !reader.failure.empty()) {
        throw ReportDecodeError(reader.failure.empty() ? "not valid JSON" : reader.failure);
    }
    return std::move(reader.devices);
}
