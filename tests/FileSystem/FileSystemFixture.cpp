#include "FileSystemFixture.h"

#include "FileSystem/Locator.h"
#include "FileSystem/Pack.h"

#include <gtest/gtest.h>
#include <wx/init.h>
#include <wx/wfstream.h>
#include <wx/zipstrm.h>

namespace {

// The file system needs the wxWidgets library for the whole test program.
class WxEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        library_ = std::make_unique<wxInitializer>();
        ASSERT_TRUE(library_->IsOk());
    }
    void TearDown() override { library_.reset(); }

private:
    std::unique_ptr<wxInitializer> library_;
};

[[maybe_unused]] const auto* const g_wx = ::testing::AddGlobalTestEnvironment(new WxEnvironment);

} // namespace

namespace test {

std::string U32(std::uint32_t value) {
    std::string out;
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<char>(value >> shift));
    }
    return out;
}

std::string RawPack(std::uint32_t count, const std::vector<RawEntry>& entries,
                    const std::string& data) {
    std::string out = "KVPK" + U32(count);
    for (const RawEntry& e : entries) {
        out += U32(e.length) + e.name + U32(e.offset) + U32(e.size);
    }
    return out + data;
}

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

std::string Text(const std::vector<std::uint8_t>& bytes) {
    return {bytes.begin(), bytes.end()};
}

std::string Scrambled(std::string bytes) {
    for (char& c : bytes) {
        c = static_cast<char>(c ^ Pack::kXorKey);
    }
    return bytes;
}

std::string ReadStream(const std::unique_ptr<wxInputStream>& stream) {
    if (stream == nullptr) {
        return "<none>";
    }
    std::string out(static_cast<std::size_t>(stream->GetLength()), '\0');
    stream->Read(out.data(), out.size());
    return out.substr(0, stream->LastRead());
}

std::string Read(Locator& locator, const std::string& path) {
    std::vector<std::uint8_t> bytes;
    return locator.ReadAll(path, bytes) ? Text(bytes) : "<none>";
}

GameTree::GameTree(const std::string& rootName) : root_(temp_ / rootName) {
    for (const char* folder : {"Bin", "Data"}) {
        std::filesystem::create_directories(root_ / folder);
    }
}

void GameTree::AddLoose(const std::string& relative, const std::string& bytes) const {
    const std::filesystem::path path = Data() / relative;
    std::filesystem::create_directories(path.parent_path());
    WriteFile(path, bytes);
}

void GameTree::AddPack(const std::string& fileName,
                       const std::vector<std::pair<std::string, std::string>>& entries) const {
    Pack::Entries packed;
    for (const auto& [name, bytes] : entries) {
        packed[name] = Bytes(bytes);
    }
    ASSERT_TRUE(Pack::Write(packed, (Data() / fileName).string()));
}

void GameTree::AddZip(const std::string& fileName,
                      const std::vector<std::pair<std::string, std::string>>& entries,
                      bool codePageNames) const {
    wxFFileOutputStream file((Data() / fileName).string());
    ASSERT_TRUE(file.IsOk());
    wxCSConv codePage(wxFONTENCODING_CP1252);
    wxZipOutputStream zip(file, -1, codePageNames ? static_cast<wxMBConv&>(codePage) : wxConvUTF8);
    for (const auto& [name, bytes] : entries) {
        ASSERT_TRUE(zip.PutNextEntry(wxString::FromUTF8(name)));
        zip.Write(bytes.data(), bytes.size());
    }
    ASSERT_TRUE(zip.Close());
}

void GameTree::DeclareZipSize(const std::string& fileName, std::uint32_t size) const {
    std::string bytes = ReadFile(Data() / fileName);
    // The uncompressed size lies 22 bytes into a local header, 24 into a catalogue record.
    for (const auto& [signature, at] :
         {std::pair{std::string("PK\3\4"), 22u}, std::pair{std::string("PK\1\2"), 24u}}) {
        for (auto found = bytes.find(signature); found != std::string::npos;
             found = bytes.find(signature, found + 1)) {
            bytes.replace(found + at, 4, U32(size));
        }
    }
    WriteFile(Data() / fileName, bytes);
}

} // namespace test
