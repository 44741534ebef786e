// Catalogue bytes: parsed from a QBuffer by JsonFileIo::parse, then loaded by
// CashItemLoader::fill. Checked:
// - the device parser gives the same document and the same error as RapidJSON
//   reading the bytes from memory, also when the device hands the bytes over
//   a few at a time (the refill path of its read buffer);
// - the loader keeps exactly the usable elements before the first faulty one,
//   under keys 0 to n - 1, each entry as the file has it, and names a faulty
//   element by its position counted from 1.

#include "CashItem.h"
#include "JsonFileIo.h"

#include <rapidjson/memorystream.h>

#include <QBuffer>
#include <QByteArray>
#include <QIODevice>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

namespace {

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "fuzz_catalogue_load: %s\n", what);
    std::abort();
}

// A read-only device that yields at most `step` bytes per read, as a pipe or
// a slow disk may.
class TrickleDevice : public QIODevice
{
public:
    TrickleDevice(const QByteArray &bytes, qint64 step)
        : m_bytes(bytes)
        , m_step(step)
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 count = std::min({maxSize, m_step, static_cast<qint64>(m_bytes.size()) - m_position});
        if (count <= 0)
            return 0;
        std::memcpy(data, m_bytes.constData() + m_position, static_cast<size_t>(count));
        m_position += count;
        return count;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    qint64 m_step;
    qint64 m_position = 0;
};

// Same type, same numbers (to the bit), same strings, members in the same
// order with the same names. RapidJSON's operator== will not do: it matches
// members by name, so an object with a name twice differs from itself. An
// explicit stack keeps deep nesting off the call stack.
bool sameValue(const rapidjson::Value &first, const rapidjson::Value &second)
{
    std::vector<std::pair<const rapidjson::Value *, const rapidjson::Value *>> pending{{&first, &second}};
    while (!pending.empty()) {
        const rapidjson::Value &a = *pending.back().first;
        const rapidjson::Value &b = *pending.back().second;
        pending.pop_back();
        if (a.GetType() != b.GetType())
            return false;
        switch (a.GetType()) {
        case rapidjson::kNumberType:
            if (a.IsInt64() != b.IsInt64() || a.IsUint64() != b.IsUint64() || a.IsDouble() != b.IsDouble())
                return false;
            if (a.IsDouble()) {
                const double x = a.GetDouble();
                const double y = b.GetDouble();
                if (std::memcmp(&x, &y, sizeof x) != 0)
                    return false;
            } else if (a.IsUint64() ? a.GetUint64() != b.GetUint64() : a.GetInt64() != b.GetInt64()) {
                return false;
            }
            break;
        case rapidjson::kStringType:
            if (a.GetStringLength() != b.GetStringLength()
                || std::memcmp(a.GetString(), b.GetString(), a.GetStringLength()) != 0)
                return false;
            break;
        case rapidjson::kArrayType:
            if (a.Size() != b.Size())
                return false;
            for (rapidjson::SizeType i = 0; i < a.Size(); ++i)
                pending.emplace_back(&a[i], &b[i]);
            break;
        case rapidjson::kObjectType: {
            if (a.MemberCount() != b.MemberCount())
                return false;
            auto left = a.MemberBegin();
            auto right = b.MemberBegin();
            for (; left != a.MemberEnd(); ++left, ++right) {
                pending.emplace_back(&left->name, &right->name);
                pending.emplace_back(&left->value, &right->value);
            }
            break;
        }
        default: // null, false, true: the type says it all
            break;
        }
    }
    return true;
}

void expectSameDocument(const rapidjson::Document &actual, const rapidjson::Document &expected, const char *what)
{
    if (actual.HasParseError() != expected.HasParseError())
        fail(what);
    if (expected.HasParseError()) {
        if (actual.GetParseError() != expected.GetParseError() || actual.GetErrorOffset() != expected.GetErrorOffset())
            fail(what);
        return;
    }
    if (!sameValue(actual, expected))
        fail(what);
}

bool isUsable(const rapidjson::Value &element)
{
    if (!element.IsObject())
        return false;
    const auto name = element.FindMember("name");
    if (name == element.MemberEnd() || !name->value.IsString())
        return false;
    const auto price = element.FindMember("price");
    if (price == element.MemberEnd() || !price->value.IsInt())
        return false;
    return element.HasMember("isUseMileage");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<int>(size));

    rapidjson::Document document;
    {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        JsonFileIo::parse(buffer, document);
    }

    rapidjson::Document reference;
    {
        rapidjson::MemoryStream stream(bytes.constData(), bytes.size());
        reference.ParseStream<rapidjson::kParseIterativeFlag>(stream);
    }
    expectSameDocument(document, reference, "the device parser and the memory parser disagree");

    // A step taken from the input so that the fuzzer explores it too.
    const qint64 step = size == 0 ? 1 : 1 + data[size / 2] % 7;
    {
        TrickleDevice trickle(bytes, step);
        rapidjson::Document trickled;
        JsonFileIo::parse(trickle, trickled);
        expectSameDocument(trickled, reference, "reading in small pieces changed the parse");
    }

    CashItemCatalogue catalogue;
    const std::optional<QString> message = CashItemLoader::fill(document, catalogue);

    if (document.HasParseError() || !document.IsArray()) {
        if (message || !catalogue.empty())
            fail("a text that is not an array loaded something or named a fault");
        return 0;
    }

    rapidjson::SizeType usable = 0;
    while (usable < document.Size() && isUsable(document[usable]))
        ++usable;

    if (catalogue.size() != usable)
        fail("the catalogue does not hold exactly the usable elements before the first fault");
    const bool faulty = usable < document.Size();
    if (faulty != message.has_value())
        fail("a fault was named where there is none, or a fault went unnamed");
    if (faulty) {
        const QString position = QStringLiteral(" : %1").arg(usable + 1) + QString::fromUtf8("번째 ");
        if (!message->contains(position))
            fail("the message does not name the faulty element's position");
    }

    int32_t expectedKey = 0;
    for (const auto &entry : catalogue) {
        if (entry.first != expectedKey)
            fail("catalogue keys are not 0 to n - 1");
        const rapidjson::Value &element = document[static_cast<rapidjson::SizeType>(expectedKey)];
        const char *name = element["name"].GetString();
        if (entry.second.name != QByteArray(name, static_cast<int>(std::strlen(name))))
            fail("a name is not the file's bytes up to the first NUL");
        if (entry.second.price != element["price"].GetInt())
            fail("a price differs from the file's");
        if (entry.second.isUseMileage != element["isUseMileage"].IsTrue())
            fail("the mileage flag is not exactly the literal true");
        ++expectedKey;
    }
    return 0;
}
