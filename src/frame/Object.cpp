#include <Kor2_Sys/Object.h>

#include "frame/ArgumentValues.h"
#include "frame/Dispatch.h"
#include "frame/Utf.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>
#include <new>
#include <optional>

namespace Kor2_Sys {
namespace {

// `Variant::type` inline: the call path asks it of every argument.
ValueType typeOf(const Variant& value) noexcept
{
    return static_cast<ValueType>(value.storage().index());
}

bool shapeAnswers(MemberShape shape, InvokeKind kind)
{
    switch (shape) {
    case MemberShape::Function: return kind != InvokeKind::Put;
    case MemberShape::Sub: return kind == InvokeKind::Method;
    case MemberShape::PropertyGet: return kind != InvokeKind::Put;
    case MemberShape::PropertyPut: return kind == InvokeKind::Put;
    case MemberShape::Field: return true;
    }
    return false;
}

// The declared type an argument is converted to; a data member's written value takes the field's.
ValueType declaredType(const MemberInfo& member, std::size_t i)
{
    if (member.shape == MemberShape::Field || member.shape == MemberShape::PropertyPut)
        return member.result;
    return i < member.params.size() ? member.params[i].type : ValueType::Any;
}

bool writesBack(const MemberInfo& member, std::size_t i)
{
    if (member.acceptsAnyArguments)
        return true;
    return i < member.params.size() && member.params[i].byRef;
}

// An omitted optional parameter: its number default converted to the declared type; text and
// variants start empty.
Variant omitted(const ParamInfo& param)
{
    if (param.type == ValueType::Text)
        return Text{};
    if (param.type == ValueType::Any || param.type == ValueType::Array || param.type == ValueType::Object)
        return Variant{};
    return Variant(param.defaultValue).convertedTo(param.type);
}

// One byte of a UTF-8 name in lower case, given the byte before it: ASCII capitals, and the
// Latin-1 capitals U+00C0 to U+00DE but for U+00D7, which UTF-8 writes C3 80 to C3 9E and whose
// lower case is 0x20 further on. Letter case keeps the byte length, so folded names compare byte
// for byte, and they compare equal exactly when `utf::equalNames` says so.
constexpr unsigned char foldByte(unsigned char before, unsigned char byte) noexcept
{
    if (byte >= 'A' && byte <= 'Z')
        return static_cast<unsigned char>(byte + 0x20);
    if (before == 0xC3 && byte >= 0x80 && byte <= 0x9E && byte != 0x97)
        return static_cast<unsigned char>(byte + 0x20);
    return byte;
}

constexpr unsigned char foldedAt(std::string_view name, std::size_t i) noexcept
{
    return foldByte(i > 0 ? static_cast<unsigned char>(name[i - 1]) : 0, static_cast<unsigned char>(name[i]));
}

// Folding only ever sets bit 5 of a byte (see `foldByte`), so with that bit set everywhere the
// names that fold alike have equal bytes. Hashing those from two unaligned word loads (the first
// and last eight bytes, overlapping in a short name) costs a handful of instructions, where
// folding byte by byte would cost more than the rest of the lookup.
constexpr std::uint64_t kCaseBits = 0x2020202020202020u;

// Up to eight bytes from `at` as one word; a whole word is one load.
std::uint64_t loadBytes(const char* at, std::size_t count) noexcept
{
    std::uint64_t word = 0;
    if (count == sizeof word)
        std::memcpy(&word, at, sizeof word);
    else
        for (std::size_t i = 0; i < count; ++i)
            word |= std::uint64_t{static_cast<unsigned char>(at[i])} << (8 * i);
    return word;
}

inline std::uint32_t caseBlindHash(std::string_view name) noexcept
{
    const std::size_t n = name.size();
    const std::size_t width = std::min<std::size_t>(n, 8);
    const char* data = name.data();
    const std::uint64_t head = loadBytes(data, width) | kCaseBits;
    const std::uint64_t tail = (n > 8 ? loadBytes(data + n - 8, 8) : 0) | kCaseBits;
    std::uint64_t hash = (head * 0x9E3779B97F4A7C15u) ^ ((tail + n) * 0xC2B2AE3D27D4EB4Fu);
    hash ^= hash >> 29;
    return static_cast<std::uint32_t>(hash ^ (hash >> 32));
}

// Whether two names of `size` bytes are spelt alike, a word at a time: member names are a few words
// long, shorter than what makes a library call to compare them pay.
bool sameBytes(const char* a, const char* b, std::size_t size) noexcept
{
    if (size < 8) {
        for (std::size_t i = 0; i < size; ++i)
            if (a[i] != b[i])
                return false;
        return true;
    }
    // The last word overlaps the one before it when the size is not a multiple of eight.
    for (std::size_t i = 0;; i += 8) {
        const std::size_t at = std::min(i, size - 8);
        if (loadBytes(a + at, 8) != loadBytes(b + at, 8))
            return false;
        if (at == size - 8)
            return true;
    }
}

// Whether `name` folds to `folded`, which has its length.
bool foldsTo(std::string_view name, std::string_view folded) noexcept
{
    for (std::size_t i = 0; i < name.size(); ++i)
        if (foldedAt(name, i) != static_cast<unsigned char>(folded[i]))
            return false;
    return true;
}

// An object parameter takes what the caller passed: the callee asks for the object when it first
// uses it, inside its own error trap, as it would with a host object that lacks a member.
Variant converted(const Variant& argument, ValueType declared)
{
    return declared == ValueType::Object ? argument : argument.convertedTo(declared);
}

void checkArity(const MemberInfo& member, InvokeKind kind, std::size_t count)
{
    if (member.acceptsAnyArguments)
        return;
    if (member.shape == MemberShape::Field || dispatch::isPropertyProcedure(member.shape)) {
        const std::size_t expected = kind == InvokeKind::Put ? 1 : 0;
        if (count != expected)
            throw errors::wrongArgumentCount();
        return;
    }
    if (count > member.params.size())
        throw errors::wrongArgumentCount();
    for (std::size_t i = count; i < member.params.size(); ++i)
        if (!member.params[i].optional)
            throw errors::argumentNotOptional();
}

} // namespace

Object::~Object() = default;

Variant Object::invoke(DispId, InvokeKind, std::span<Variant>)
{
    throw errors::memberNotSupported();
}

Variant getProperty(Object& object, std::string_view member)
{
    return object.invoke(member, InvokeKind::Get, {});
}

void putProperty(Object& object, std::string_view member, Variant value)
{
    object.invoke(member, InvokeKind::Put, std::span<Variant>(&value, 1));
}

std::string ClassInfo::progId() const
{
    std::string id = "Kor2_Sys.";
    id.append(name);
    return id;
}

std::string ClassInfo::interfaceName() const
{
    std::string interface(1, '_');
    interface.append(name);
    return interface;
}

const MemberInfo* ClassInfo::find(std::string_view member, InvokeKind kind) const noexcept
{
    for (const MemberInfo& row : members)
        if (utf::equalNames(row.name, member) && shapeAnswers(row.shape, kind))
            return &row;
    return nullptr;
}

const MemberInfo* ClassInfo::find(DispId id, InvokeKind kind) const noexcept
{
    for (const MemberInfo& row : members)
        if (row.id == id && shapeAnswers(row.shape, kind))
            return &row;
    return nullptr;
}

namespace dispatch {
namespace {

// Which of the three identifier ranges an identifier lies in, and its place there.
struct IdPlace {
    std::size_t base;
    std::size_t index;
};

constexpr std::optional<IdPlace> placeOf(DispId id) noexcept
{
    // Each base leaves its low 16 bits clear, so the high half alone names the range.
    const auto high = static_cast<std::uint32_t>(id) & 0xFFFF0000u;
    const std::size_t index = static_cast<std::uint32_t>(id) & 0xFFFFu;
    if (high == static_cast<std::uint32_t>(kProcedureBase))
        return IdPlace{0, index};
    if (high == static_cast<std::uint32_t>(kPropertyBase))
        return IdPlace{1, index};
    if (high == static_cast<std::uint32_t>(kFieldBase))
        return IdPlace{2, index};
    return std::nullopt;
}

static_assert(placeOf(kPropertyBase + 3)->base == 1 && placeOf(kFieldBase + 2)->index == 2 && !placeOf(0x60040000));

} // namespace

NameIndex::NameIndex(std::span<const MemberInfo> members) : m_members(members)
{
    m_folded.reserve(members.size());
    for (const MemberInfo& row : members) {
        std::string folded(row.name);
        for (std::size_t i = 0; i < folded.size(); ++i)
            folded[i] = static_cast<char>(foldedAt(row.name, i));
        m_longest = std::max(m_longest, folded.size());
        m_folded.push_back(std::move(folded));
    }
    m_slots.resize(std::bit_ceil(std::max<std::size_t>(8, 2 * members.size())));
    const std::size_t mask = m_slots.size() - 1;
    // Rows go in in table order, so rows of one name lie along the probe in table order.
    for (std::uint32_t row = 0; row < members.size(); ++row) {
        const std::uint32_t hash = caseBlindHash(members[row].name);
        std::size_t at = hash & mask;
        while (m_slots[at].row != kFree)
            at = (at + 1) & mask;
        m_slots[at] = {hash, row};
    }
    for (std::uint32_t row = 0; row < members.size(); ++row) {
        const auto place = placeOf(members[row].id);
        if (!place)
            continue;
        auto& rows = m_byId[place->base];
        if (rows.size() <= place->index)
            rows.resize(place->index + 1, kFree);
        if (rows[place->index] == kFree)
            rows[place->index] = row;
    }
}

const MemberInfo* NameIndex::find(DispId id, InvokeKind kind) const noexcept
{
    const auto place = placeOf(id);
    if (!place || place->index >= m_byId[place->base].size())
        return nullptr;
    const std::uint32_t first = m_byId[place->base][place->index];
    if (first == kFree)
        return nullptr;
    // The read and write halves of a property share their identifier: the later rows settle it.
    for (std::size_t row = first; row < m_members.size(); ++row)
        if (m_members[row].id == id && shapeAnswers(m_members[row].shape, kind))
            return &m_members[row];
    return nullptr;
}

const MemberInfo* NameIndex::find(std::string_view name, InvokeKind kind) const noexcept
{
    const auto kindIndex = static_cast<std::size_t>(kind);
    if (kindIndex >= m_recent.size() || name.size() > m_longest)
        return nullptr;
    // The row found last for this kind is the first to answer any name spelt exactly as it is.
    std::atomic<std::uint32_t>& recent = m_recent[kindIndex];
    if (const std::uint32_t last = recent.load(std::memory_order_relaxed); last < m_members.size()) {
        const MemberInfo& row = m_members[last];
        if (row.name.size() == name.size() && sameBytes(row.name.data(), name.data(), name.size()) &&
            shapeAnswers(row.shape, kind))
            return &row;
    }
    const std::uint32_t hash = caseBlindHash(name);
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t at = hash & mask; m_slots[at].row != kFree; at = (at + 1) & mask) {
        const Slot& slot = m_slots[at];
        const MemberInfo& row = m_members[slot.row];
        const std::string& folded = m_folded[slot.row];
        // Hosts mostly spell a name as the table does: that costs one comparison.
        if (slot.hash == hash && folded.size() == name.size() &&
            (sameBytes(row.name.data(), name.data(), name.size()) || foldsTo(name, folded)) &&
            shapeAnswers(row.shape, kind)) {
            recent.store(slot.row, std::memory_order_relaxed);
            return &row;
        }
    }
    return nullptr;
}

namespace {

// Whether a call may hand the caller's own variables to the handler: every parameter is given and
// already holds its declared type, so converting would copy each value and writing back would move
// the copy home again.
bool passesInPlace(const MemberInfo& member, std::span<const Variant> args) noexcept
{
    if (!member.takesInPlace || args.size() != member.params.size())
        return false;
    for (std::size_t i = 0; i < args.size(); ++i)
        if (typeOf(args[i]) != member.params[i].type)
            return false;
    return true;
}

// A call whose arguments need converting, or whose optional ones take their defaults: the
// converted copies live in a buffer of their own, kept out of the usual call's frame.
[[gnu::noinline]] Variant invokeConverted(const MemberInfo& member, void* self, InvokeKind kind, std::span<Variant> args)
{
    checkArity(member, kind, args.size());
    const std::size_t count = member.acceptsAnyArguments ? args.size() : std::max(args.size(), member.params.size());
    ArgumentValues buffer(count);
    for (std::size_t i = 0; i < count; ++i)
        buffer.push(i < args.size() ? converted(args[i], declaredType(member, i)) : omitted(member.params[i]));
    const std::span<Variant> values = buffer.values();

    CallArgs call(values, args.size(), kind);
    Variant result = member.handler(self, call);

    // A by-reference argument sees the change when the caller's variable has the declared type
    // (or was empty, as an output variable is): a value of another type went in as a converted
    // temporary, as it does with any automation server.
    for (std::size_t i = 0; i < args.size(); ++i) {
        const ValueType declared = declaredType(member, i);
        if (writesBack(member, i) && (declared == ValueType::Any || typeOf(args[i]) == ValueType::Empty || typeOf(args[i]) == declared))
            args[i] = std::move(values[i]);
    }
    return result;
}

} // namespace

Variant invokeMember(const MemberInfo& member, void* self, InvokeKind kind, std::span<Variant> args)
{
    if (member.handler == nullptr)
        throw errors::memberNotSupported();
    // Every parameter given: the count is right, whatever the call kind.
    if (!passesInPlace(member, args))
        return invokeConverted(member, self, kind, args);
    CallArgs call(args, args.size(), kind);
    return member.handler(self, call);
}

} // namespace dispatch
} // namespace Kor2_Sys
