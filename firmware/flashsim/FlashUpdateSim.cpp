// A flash-update library that programs a simulated target held in memory. It
// has the entry points of a vendor's library, so the program loads it the same
// way; it serves the tests and users without the vendor's library.
//
// Its image format: "KVFLASH1", a 16-bit section count, then per section an
// 8-byte name, a 32-bit address, a 16-bit page, 16-bit flags (bit 0: loaded)
// and a 32-bit length in words followed by the words; all little-endian.
//
// Each operation runs on a worker thread of its own and reports from there.
// A few entry points beyond the vendor's ("KVSIM_") let tests look into the
// target and make an operation fail.

#include <atomic>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "firmware/FlashUpdateApi.h"

#define KV_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

enum { kStatusFailed = 1 };

struct Target {
    std::mutex lock;
    std::map<std::pair<unsigned int, unsigned long>, unsigned short> flash;  // (page, address) to word
    std::string fault;  // the operation that is to fail
};

Target& TheTarget()
{
    static Target target;
    return target;
}

bool ShouldFail(const char* operation)
{
    Target& target = TheTarget();
    std::lock_guard<std::mutex> lock(target.lock);
    if (target.fault != operation)
        return false;
    target.fault.clear();
    return true;
}

struct Session {
    PRG_TEXT_CALLBACK text = nullptr;
    PRG_REPORT_CALLBACK report = nullptr;
    std::map<std::string, std::string> settings;
    bool kernelLoaded = false;
    std::atomic<int> status{PRG_STATUS_DONE};
    std::thread worker;

    void Report(int kind, int value, const std::string& message)
    {
        if (report)
            report(this, kind, value, message.c_str());
    }
    void Log(const std::string& message)
    {
        if (text)
            text(this, message.c_str());
    }
    // Runs the operation on the worker; its result becomes the status.
    void Start(std::function<bool()> operation)
    {
        if (worker.joinable())
            worker.join();
        status = PRG_STATUS_BUSY;
        worker = std::thread([this, operation = std::move(operation)] {
            status = operation() ? static_cast<int>(PRG_STATUS_DONE) : static_cast<int>(kStatusFailed);
        });
    }
};

Session* AsSession(PRG_HANDLE handle)
{
    return static_cast<Session*>(handle);
}

int Open(PRG_HANDLE* handle)
{
    if (!handle || ShouldFail("open"))
        return 1;
    *handle = new Session;
    return 0;
}

// "Key=value," pairs; later settings replace earlier ones.
int Configure(PRG_HANDLE handle, const char* settings)
{
    Session* session = AsSession(handle);
    const std::string text = settings ? settings : "";
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(',', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string item = text.substr(start, end - start);
        const size_t equals = item.find('=');
        if (equals != std::string::npos)
            session->settings[item.substr(0, equals)] = item.substr(equals + 1);
        start = end + 1;
    }
    session->Log(std::string("Settings: ") + text + "\n");
    return 0;
}

int GetStatus(PRG_HANDLE handle)
{
    return AsSession(handle)->status;
}

int StartKernelLoad(PRG_HANDLE handle)
{
    Session* session = AsSession(handle);
    const std::string kernel = session->settings["PrgProgrammingFileName"];
    if (kernel.empty() || session->settings["EmuSerialPortName"].empty())
        return 1;
    const bool fail = ShouldFail("kernel");
    session->Start([session, kernel, fail] {
        std::ifstream file(kernel, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        session->Report(PRG_REPORT_ACTION, 0, "Loading kernel " + kernel);
        session->Report(PRG_REPORT_BEGIN_PROGRESS, static_cast<int>(bytes.size()), "Loading kernel...");
        session->Report(PRG_REPORT_PROGRESS, static_cast<int>(bytes.size()), "");
        if (!file.is_open() || fail) {
            session->Report(PRG_REPORT_ERROR, 0, "Kernel did not start.");
            return false;
        }
        session->kernelLoaded = true;
        session->Report(PRG_REPORT_DEBUG, 0, "Kernel running.");
        return true;
    });
    return 0;
}

int Close(PRG_HANDLE handle)
{
    Session* session = AsSession(handle);
    if (session->worker.joinable())
        session->worker.join();
    delete session;
    return 0;
}

int SetTextCallback(PRG_HANDLE handle, PRG_TEXT_CALLBACK callback)
{
    AsSession(handle)->text = callback;
    return 0;
}

int Erase(PRG_HANDLE handle)
{
    Session* session = AsSession(handle);
    if (!session->kernelLoaded)
        return 0;
    const bool fail = ShouldFail("erase");
    session->Start([session, fail] {
        session->Report(PRG_REPORT_STATUS, 0, "Flash erased.");
        if (fail)
            return false;
        Target& target = TheTarget();
        std::lock_guard<std::mutex> lock(target.lock);
        target.flash.clear();
        return true;
    });
    return 1;
}

int Block(PRG_HANDLE handle, unsigned long address, unsigned int page, unsigned long length, const void* buffer,
          bool verify)
{
    Session* session = AsSession(handle);
    if (!session->kernelLoaded || (!buffer && length > 0))
        return 1;
    std::vector<unsigned short> words(length);
    if (length > 0)
        std::memcpy(words.data(), buffer, length * 2);
    const bool fail = ShouldFail(verify ? "verify" : "program");
    session->Start([session, address, page, words, verify, fail] {
        session->Report(PRG_REPORT_BEGIN_PROGRESS, static_cast<int>(words.size() * 2),
                        verify ? "Verifying block..." : "Programming block...");
        Target& target = TheTarget();
        std::lock_guard<std::mutex> lock(target.lock);
        bool same = !fail;
        for (size_t i = 0; i < words.size(); ++i) {
            const auto key = std::make_pair(page, address + i);
            if (!verify) {
                target.flash[key] = words[i];
                continue;
            }
            auto found = target.flash.find(key);
            same = same && found != target.flash.end() && found->second == words[i];
        }
        session->Report(PRG_REPORT_PROGRESS, static_cast<int>(words.size() * 2), "");
        if (!same)
            session->Report(PRG_REPORT_ERROR, 0, verify ? "Verify mismatch." : "Program failed.");
        return same;
    });
    return 0;
}

int ProgramBlock(PRG_HANDLE handle, unsigned long address, unsigned int page, unsigned long length,
                 const void* buffer)
{
    return Block(handle, address, page, length, buffer, false);
}

int VerifyBlock(PRG_HANDLE handle, unsigned long address, unsigned int page, unsigned long length,
                const void* buffer)
{
    return Block(handle, address, page, length, buffer, true);
}

PRG_INTERFACE g_interface = {
    {}, &Open, &Configure, &GetStatus, &StartKernelLoad, &Close, &SetTextCallback, &Erase, &ProgramBlock, nullptr,
    &VerifyBlock,
};

// The image reader.
struct Section {
    std::string name;
    unsigned long address = 0;
    unsigned int page = 0;
    unsigned int flags = 0;
    std::vector<unsigned short> words;
};

struct Image {
    std::vector<Section> sections;
};

class ByteReader {
public:
    explicit ByteReader(const std::string& bytes) : m_bytes(bytes) {}
    bool Read(unsigned long& value, int size)
    {
        if (m_at + static_cast<size_t>(size) > m_bytes.size())
            return false;
        value = 0;
        for (int i = size - 1; i >= 0; --i)
            value = (value << 8) | static_cast<unsigned char>(m_bytes[m_at + i]);
        m_at += size;
        return true;
    }
    bool Text(std::string& value, size_t size)
    {
        if (m_at + size > m_bytes.size())
            return false;
        value = m_bytes.substr(m_at, size);
        m_at += size;
        return true;
    }
    size_t Left() const { return m_bytes.size() - m_at; }

private:
    const std::string& m_bytes;
    size_t m_at = 0;
};

bool ParseImage(const std::string& bytes, Image& image)
{
    ByteReader reader(bytes);
    std::string magic;
    unsigned long count = 0;
    if (!reader.Text(magic, 8) || magic != "KVFLASH1" || !reader.Read(count, 2))
        return false;
    for (unsigned long i = 0; i < count; ++i) {
        Section section;
        unsigned long page = 0, flags = 0, length = 0;
        if (!reader.Text(section.name, 8) || !reader.Read(section.address, 4) || !reader.Read(page, 2) ||
            !reader.Read(flags, 2) || !reader.Read(length, 4) || length * 2 > reader.Left())
            return false;
        section.page = static_cast<unsigned int>(page);
        section.flags = static_cast<unsigned int>(flags);
        section.words.resize(length);
        for (unsigned long w = 0; w < length; ++w) {
            unsigned long word = 0;
            reader.Read(word, 2);
            section.words[w] = static_cast<unsigned short>(word);
        }
        image.sections.push_back(std::move(section));
    }
    return reader.Left() == 0;
}

const Section* FindSection(COFFR_FILE_HANDLE file, int number)
{
    const Image* image = static_cast<const Image*>(file);
    if (!image || number < 1 || static_cast<size_t>(number) > image->sections.size())
        return nullptr;
    return &image->sections[static_cast<size_t>(number - 1)];
}

constexpr int kNotSupported = -1;

}  // namespace

KV_EXPORT int PRG_GetInterface(PRG_INTERFACE** iface)
{
    if (!iface || ShouldFail("link"))
        return 1;
    *iface = &g_interface;
    return 0;
}

KV_EXPORT int PRG_SetReportCallBack(PRG_HANDLE handle, PRG_REPORT_CALLBACK callback)
{
    AsSession(handle)->report = callback;
    return 0;
}

KV_EXPORT int COFFR_FileOpen(const char* path, COFFR_FILE_HANDLE* file)
{
    std::ifstream stream(path ? path : "", std::ios::binary);
    if (!stream.is_open() || !file)
        return 1;
    const std::string bytes((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
    auto* image = new Image;
    if (!ParseImage(bytes, *image)) {
        delete image;
        return 2;
    }
    *file = image;
    return 0;
}

KV_EXPORT int COFFR_FileClose(COFFR_FILE_HANDLE file)
{
    delete static_cast<Image*>(file);
    return 0;
}

KV_EXPORT int COFFR_GetFileHdr(COFFR_FILE_HANDLE file, COFFR_FILE_HDR* header)
{
    if (!file || !header)
        return 1;
    *header = COFFR_FILE_HDR{};
    header->sectionCount = static_cast<unsigned short>(static_cast<const Image*>(file)->sections.size());
    return 0;
}

KV_EXPORT int COFFR_GetOptionalHdr(COFFR_FILE_HANDLE file, COFFR_OPT_HDR* header)
{
    if (!file || !header)
        return 1;
    *header = COFFR_OPT_HDR{};
    return 0;
}

KV_EXPORT int COFFR_GetSectionHdr(COFFR_FILE_HANDLE file, int number, COFFR_SECT_HDR* header)
{
    const Section* section = FindSection(file, number);
    if (!section || !header)
        return 1;
    *header = COFFR_SECT_HDR{};
    std::snprintf(header->name, sizeof header->name, "%s", section->name.c_str());
    header->address = section->address;
    header->page = section->page;
    header->length = section->words.size();
    header->flags = section->flags;
    return 0;
}

KV_EXPORT int COFFR_IsLoadSection(COFFR_FILE_HANDLE file, int number)
{
    const Section* section = FindSection(file, number);
    if (!section)
        return kNotSupported;
    return (section->flags & 1) && !section->words.empty() ? 0 : COFFR_NOT_LOAD_SECTION;
}

KV_EXPORT int COFFR_FindMaxLoadSectionSize(COFFR_FILE_HANDLE file, unsigned long* words)
{
    if (!file || !words)
        return 1;
    *words = 0;
    for (const Section& section : static_cast<const Image*>(file)->sections)
        if ((section.flags & 1) && section.words.size() > *words)
            *words = section.words.size();
    return 0;
}

KV_EXPORT int COFFR_GetSectData(COFFR_FILE_HANDLE file, int number, void* buffer, unsigned long bufferSize,
                                unsigned long* address, unsigned int* page, unsigned long* length)
{
    const Section* section = FindSection(file, number);
    if (!section || !buffer || section->words.size() * 2 > bufferSize)
        return 1;
    if (!section->words.empty())
        std::memcpy(buffer, section->words.data(), section->words.size() * 2);
    if (address)
        *address = section->address;
    if (page)
        *page = section->page;
    if (length)
        *length = section->words.size();
    return 0;
}

KV_EXPORT int COFFR_LoadStrings(COFFR_FILE_HANDLE)
{
    return 0;
}

KV_EXPORT int COFFR_GetSymbolTableEntry(COFFR_FILE_HANDLE, unsigned long, void*)
{
    return kNotSupported;
}

KV_EXPORT int COFFR_GetSymbolName(COFFR_FILE_HANDLE, unsigned long, char*, int)
{
    return kNotSupported;
}

KV_EXPORT int COFFR_FindMaxLnno(COFFR_FILE_HANDLE, unsigned long* count)
{
    if (count)
        *count = 0;
    return 0;
}

KV_EXPORT int COFFR_GetSectLnno(COFFR_FILE_HANDLE, int, void*, unsigned long)
{
    return kNotSupported;
}

// Test entry points.
KV_EXPORT int KVSIM_ReadFlash(unsigned int page, unsigned long address, unsigned short* word)
{
    Target& target = TheTarget();
    std::lock_guard<std::mutex> lock(target.lock);
    auto found = target.flash.find(std::make_pair(page, address));
    if (found == target.flash.end())
        return 0;
    if (word)
        *word = found->second;
    return 1;
}

// The next call of the named operation fails: "link", "open", "kernel", "erase", "program", "verify".
KV_EXPORT void KVSIM_FailNext(const char* operation)
{
    Target& target = TheTarget();
    std::lock_guard<std::mutex> lock(target.lock);
    target.fault = operation ? operation : "";
}

KV_EXPORT void KVSIM_Reset()
{
    Target& target = TheTarget();
    std::lock_guard<std::mutex> lock(target.lock);
    target.flash.clear();
    target.fault.clear();
}
