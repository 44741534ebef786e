#pragma once

#include <rapidjson/document.h>
#include <rapidjson/writer.h>

#include <QString>

#include <functional>
#include <vector>

class QCryptographicHash;
class QIODevice;
struct FileStamp;

// A RapidJSON output stream that collects bytes and hands them to a device
// in blocks, remembering whether the device ever refused them.
class DeviceWriteStream
{
public:
    using Ch = char;

    DeviceWriteStream(QIODevice &device, QCryptographicHash *hash);

    void Put(Ch c)
    {
        m_buffer.push_back(c);
        if (m_buffer.size() >= blockSize)
            Flush();
    }
    void Flush();
    bool ok() const { return m_ok; }

    // Unused by writing; present because the stream concept names them.
    Ch Peek() const { return '\0'; }
    Ch Take() { return '\0'; }
    size_t Tell() const { return 0; }
    Ch *PutBegin() { return nullptr; }
    size_t PutEnd(Ch *) { return 0; }

private:
    static constexpr size_t blockSize = 64 * 1024;
    QIODevice &m_device;
    QCryptographicHash *m_hash;
    std::vector<char> m_buffer;
    bool m_ok = true;
};

// Opens, parses and writes the program's JSON files. Holds no state.
class JsonFileIo
{
public:
    // Compact JSON text, written value by value as it is made: a file of
    // 100,000 items never stands whole in memory as a document.
    using Writer = rapidjson::Writer<DeviceWriteStream>;
    // Makes a text through the writer; false when a value could not be
    // written (a number that is not finite).
    using Producer = std::function<bool(Writer &)>;

    static JsonFileIo &instance();

    // True when the file could be opened, whether or not it parsed; a text
    // that is not JSON leaves the document null with its parse error set.
    // The cash item catalogue (AppFolders::cashItemsFile).
    bool readCashItems(rapidjson::Document &document);
    // A ledger's `stamp`, when given, is what the file held as it was read
    // or written, to tell later whether someone else has written it since.
    bool readLedgerFile(rapidjson::Document &document, const QString &path, FileStamp *stamp = nullptr);
    // Writes the whole text beside path and puts it in place only once it is
    // complete, so an old file survives any failure. False on failure.
    bool writeLedgerFile(const Producer &produce, const QString &path, FileStamp *stamp = nullptr);

    // Parses everything device yields. Strict JSON; nesting depth is bounded
    // only by memory, never by the call stack. The bytes go into `hash` too.
    static void parse(QIODevice &device, rapidjson::Document &document, QCryptographicHash *hash = nullptr);
    // False when the text was not made whole or the device refused a write.
    // The bytes written go into `hash` too.
    static bool write(const Producer &produce, QIODevice &device, QCryptographicHash *hash = nullptr);

private:
    JsonFileIo() = default;
};
