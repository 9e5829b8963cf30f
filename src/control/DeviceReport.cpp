#include "DeviceReport.h"

#include <nlohmann/json.hpp>

#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace {

using json = nlohmann::json;

enum class FieldType { text, boolean, integer };

struct Field {
    std::string_view key;
    FieldType type;
};

// Table order is the order in which the fields are checked.
constexpr std::array<Field, 9> fields{{
    {"serial_number", FieldType::text},
    {"device_type", FieldType::text},
    {"is_on", FieldType::boolean},
    {"brightness_in_lumen", FieldType::integer},
    {"temperature_in_kelvin", FieldType::integer},
    {"minimum_brightness_in_lumen", FieldType::integer},
    {"maximum_brightness_in_lumen", FieldType::integer},
    {"minimum_temperature_in_kelvin", FieldType::integer},
    {"maximum_temperature_in_kelvin", FieldType::integer},
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
// and no document tree is built.
class ReportReader : public nlohmann::json_sax<json> {
public:
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
    bool string(string_t& v) override { return scalar(Value::string, json(v).dump(), false, {}, &v); }
    bool binary(binary_t&) override { return scalar(Value::null, "binary data"); }

    bool start_object(std::size_t) override {
        if (depth_ == 0) {
            return fail("expected an array of lights, found an object");
        }
        if (depth_ == 1) {
            devices.emplace_back();
            currentField_ = -1;
            ++depth_;
            return true;
        }
        return container("an object");
    }
    bool end_object() override {
        --depth_;
        return true;
    }
    bool start_array(std::size_t) override {
        if (depth_ == 0) {
            ++depth_;
            return true;
        }
        if (depth_ == 1) {
            return fail("expected an object for light " + std::to_string(devices.size() + 1) +
                        ", found an array");
        }
        return container("an array");
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

    void setInput(std::string_view input) { input_ = input; }

private:
    enum class Value { null, boolean, number, string };

    bool scalar(Value kind, const std::string& text, bool flag = false,
                std::optional<qint64> integer = {}, const std::string* str = nullptr) {
        if (depth_ == 0) {
            return fail("expected an array of lights, found " + typeName(kind, text));
        }
        if (depth_ == 1) {
            return fail("expected an object for light " + std::to_string(devices.size() + 1) +
                        ", found " + typeName(kind, text));
        }
        if (depth_ > 2 || currentField_ < 0 || kind == Value::null) {
            return true;  // unknown member, nested content, or an absent value
        }
        const Field& field = fields[static_cast<std::size_t>(currentField_)];
        LitraDevice& device = devices.back();
        switch (field.type) {
            case FieldType::text:
                if (kind != Value::string) {
                    return mismatch(field, "a string", kind, text);
                }
                (field.key == "serial_number" ? device.serial_number : device.device_type) =
                    QString::fromUtf8(str->data(), static_cast<qsizetype>(str->size()));
                return true;
            case FieldType::boolean:
                if (kind != Value::boolean) {
                    return mismatch(field, "true or false", kind, text);
                }
                device.is_on = flag;
                return true;
            case FieldType::integer:
                if (kind != Value::number || !integer) {
                    return mismatch(field, "an integer", kind, text);
                }
                integerSlot(device, currentField_) = *integer;
                return true;
        }
        return true;
    }

    static std::optional<qint64>& integerSlot(LitraDevice& d, int index) {
        switch (index) {
            case 3: return d.brightness_in_lumen;
            case 4: return d.temperature_in_kelvin;
            case 5: return d.minimum_brightness_in_lumen;
            case 6: return d.maximum_brightness_in_lumen;
            case 7: return d.minimum_temperature_in_kelvin;
            default: return d.maximum_temperature_in_kelvin;
        }
    }

    bool container(const char* what) {
        if (depth_ == 2 && currentField_ >= 0) {
            const Field& field = fields[static_cast<std::size_t>(currentField_)];
            return fail(expectation(field) + ", found " + what);
        }
        ++depth_;
        return true;
    }

    std::string expectation(const Field& field) const {
        const char* wanted = field.type == FieldType::text      ? "a string"
                             : field.type == FieldType::boolean ? "true or false"
                                                                : "an integer";
        return std::string("expected ") + wanted + " for \"" + std::string(field.key) +
               "\" in light " + std::to_string(devices.size());
    }

    bool mismatch(const Field& field, const char*, Value kind, const std::string& text) {
        return fail(expectation(field) + ", found " + typeName(kind, text));
    }

    static std::string typeName(Value kind, const std::string& text) {
        switch (kind) {
            case Value::null: return "null";
            case Value::string: return "the string " + text;
            default: return text;
        }
    }

    bool fail(std::string message) {
        failure = std::move(message);
        return false;
    }

    std::string syntaxMessage(std::size_t position, std::string_view what) const {
        // nlohmann's text reads "[json.exception.parse_error.101] parse error at line 1,
        // column 1: syntax error while parsing value - unexpected end of input; ...".
        std::string_view reason = what;
        if (auto colon = reason.find(": "); colon != std::string_view::npos) {
            reason.remove_prefix(colon + 2);
        }
        if (auto dash = reason.find(" - "); dash != std::string_view::npos) {
            reason.remove_prefix(dash + 3);
        }
        std::size_t line = 1;
        std::size_t column = 1;
        std::size_t end = std::min(position > 0 ? position - 1 : 0, input_.size());
        for (std::size_t i = 0; i < end; ++i) {
            if (input_[i] == '\n') {
                ++line;
                column = 1;
            } else {
                ++column;
            }
        }
        return "not valid JSON at line " + std::to_string(line) + ", column " +
               std::to_string(column) + ": " + std::string(reason);
    }

    int depth_ = 0;
    int currentField_ = -1;
    std::string_view input_;
};

}  // namespace

std::vector<LitraDevice> decodeDeviceReport(QByteArrayView utf8) {
    std::string_view input(utf8.data(), static_cast<std::size_t>(utf8.size()));
    ReportReader reader;
    reader.setInput(input);
    bool ok = json::sax_parse(input, &reader, json::input_format_t::json, true);
    if (!ok) {
        throw ReportDecodeError(reader.failure.empty() ? "not valid JSON" : reader.failure);
    }
    return std::move(reader.devices);
}
