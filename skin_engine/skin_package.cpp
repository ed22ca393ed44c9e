#include "skin_engine/skin_package.h"

#include <algorithm>
#include <bitset>

namespace skin_engine {
namespace {

constexpr size_t kRecordHeaderSize = 4;
constexpr size_t kColourPayloadSize = 6;
constexpr size_t kMetricPayloadSize = 6;

class Writer {
public:
    void u8(uint8_t value) { bytes_.push_back(value); }
    void u16(uint16_t value) {
        u8(static_cast<uint8_t>(value));
        u8(static_cast<uint8_t>(value >> 8));
    }
    void u32(uint32_t value) {
        u16(static_cast<uint16_t>(value));
        u16(static_cast<uint16_t>(value >> 16));
    }
    void record(RecordType type, std::span<const uint8_t> payload) {
        u16(static_cast<uint16_t>(type));
        u16(static_cast<uint16_t>(payload.size()));
        bytes_.insert(bytes_.end(), payload.begin(), payload.end());
    }
    void patchU32(size_t offset, uint32_t value) {
        for (int i = 0; i < 4; ++i) bytes_[offset + i] = static_cast<uint8_t>(value >> (8 * i));
    }
    std::vector<uint8_t>& bytes() { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

class Reader {
public:
    explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    bool has(size_t count) const { return bytes_.size() - offset_ >= count; }
    uint8_t u8() { return bytes_[offset_++]; }
    uint16_t u16() {
        const uint16_t low = u8();
        return static_cast<uint16_t>(low | (u8() << 8));
    }
    uint32_t u32() {
        const uint32_t low = u16();
        return low | (static_cast<uint32_t>(u16()) << 16);
    }
    std::span<const uint8_t> take(size_t count) {
        auto part = bytes_.subspan(offset_, count);
        offset_ += count;
        return part;
    }
    bool atEnd() const { return offset_ == bytes_.size(); }

private:
    std::span<const uint8_t> bytes_;
    size_t offset_ = 0;
};

std::vector<uint8_t> ColourPayload(size_t role, Rgb colour) {
    return {static_cast<uint8_t>(role), static_cast<uint8_t>(role >> 8), colour.red, colour.green, colour.blue, 0};
}

std::vector<uint8_t> MetricPayload(size_t metric, int32_t value) {
    const auto bits = static_cast<uint32_t>(value);
    return {static_cast<uint8_t>(metric),    static_cast<uint8_t>(metric >> 8), static_cast<uint8_t>(bits),
            static_cast<uint8_t>(bits >> 8), static_cast<uint8_t>(bits >> 16),  static_cast<uint8_t>(bits >> 24)};
}

// Collects records and remembers which roles and metrics have been given.
struct Unpacking {
    SkinLook look;
    std::bitset<kColourRoleCount> coloursSeen;
    std::bitset<kMetricCount> metricsSeen;

    bool colour(std::span<const uint8_t> payload) {
        if (payload.size() != kColourPayloadSize) return false;
        Reader reader(payload);
        const uint16_t role = reader.u16();
        if (role >= kColourRoleCount || coloursSeen[role]) return false;
        const Rgb value{reader.u8(), reader.u8(), reader.u8()};
        if (reader.u8() != 0) return false;
        look.colours[role] = value;
        coloursSeen.set(role);
        return true;
    }

    bool metric(std::span<const uint8_t> payload) {
        if (payload.size() != kMetricPayloadSize) return false;
        Reader reader(payload);
        const uint16_t id = reader.u16();
        if (id >= kMetricCount || metricsSeen[id]) return false;
        const auto value = static_cast<int32_t>(reader.u32());
        const MetricRule& rule = MetricRuleOf(static_cast<Metric>(id));
        if (value < rule.minimum || value > rule.maximum) return false;
        look.metrics[id] = value;
        metricsSeen.set(id);
        return true;
    }

    bool name(std::span<const uint8_t> payload) {
        if (payload.size() > kMaximumNameLength || !look.name.empty()) return false;
        if (std::find(payload.begin(), payload.end(), 0) != payload.end()) return false;
        look.name.assign(payload.begin(), payload.end());
        return true;
    }

    bool record(uint16_t type, std::span<const uint8_t> payload) {
        switch (static_cast<RecordType>(type)) {
            case RecordType::Name:
                return name(payload);
            case RecordType::Colour:
                return colour(payload);
            case RecordType::Metric:
                return metric(payload);
        }
        return true;  // a record type this engine does not know
    }

    bool complete() const { return coloursSeen.all() && metricsSeen.all(); }
};

}  // namespace

std::vector<uint8_t> PackSkin(const SkinLook& look) {
    Writer writer;
    for (uint8_t byte : kPackageMagic) writer.u8(byte);
    writer.u16(kPackageVersion);
    writer.u32(0);  // the length, patched below
    const size_t nameRecords = look.name.empty() ? 0 : 1;
    writer.u16(static_cast<uint16_t>(nameRecords + kColourRoleCount + kMetricCount));
    writer.u16(0);
    if (nameRecords) {
        const std::string name = look.name.substr(0, kMaximumNameLength);
        writer.record(RecordType::Name, {reinterpret_cast<const uint8_t*>(name.data()), name.size()});
    }
    for (size_t role = 0; role < kColourRoleCount; ++role) {
        writer.record(RecordType::Colour, ColourPayload(role, look.colours[role]));
    }
    for (size_t metric = 0; metric < kMetricCount; ++metric) {
        writer.record(RecordType::Metric, MetricPayload(metric, look.metrics[metric]));
    }
    writer.patchU32(8, static_cast<uint32_t>(writer.bytes().size()));
    return std::move(writer.bytes());
}

std::optional<SkinLook> UnpackSkin(std::span<const uint8_t> package) {
    if (package.size() < kPackageHeaderSize || package.size() > kMaximumPackageSize) return std::nullopt;
    if (!std::equal(std::begin(kPackageMagic), std::end(kPackageMagic), package.begin())) return std::nullopt;
    Reader reader(package);
    reader.take(sizeof(kPackageMagic));
    if (reader.u16() != kPackageVersion) return std::nullopt;
    if (reader.u32() != package.size()) return std::nullopt;
    const uint16_t recordCount = reader.u16();
    if (recordCount > kMaximumRecordCount || reader.u16() != 0) return std::nullopt;

    Unpacking unpacking;
    for (uint16_t i = 0; i < recordCount; ++i) {
        if (!reader.has(kRecordHeaderSize)) return std::nullopt;
        const uint16_t type = reader.u16();
        const uint16_t length = reader.u16();
        if (!reader.has(length)) return std::nullopt;
        if (!unpacking.record(type, reader.take(length))) return std::nullopt;
    }
    if (!reader.atEnd() || !unpacking.complete()) return std::nullopt;
    return std::move(unpacking.look);
}

}  // namespace skin_engine
