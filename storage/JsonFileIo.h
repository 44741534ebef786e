#pragma once

#include <rapidjson/document.h>

#include <QString>

class QCryptographicHash;
class QIODevice;
struct FileStamp;

// Opens, parses and writes the program's JSON files. Holds no state.
class JsonFileIo
{
public:
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
    bool writeLedgerFile(const rapidjson::Document &document, const QString &path, FileStamp *stamp = nullptr);

    // Parses everything device yields. Strict JSON; nesting depth is bounded
    // only by memory, never by the call stack. The bytes go into `hash` too.
    static void parse(QIODevice &device, rapidjson::Document &document, QCryptographicHash *hash = nullptr);
    // Compact JSON text; false when the device refuses a write. The bytes
    // written go into `hash` too.
    static bool write(const rapidjson::Value &value, QIODevice &device, QCryptographicHash *hash = nullptr);

private:
    JsonFileIo() = default;
};
