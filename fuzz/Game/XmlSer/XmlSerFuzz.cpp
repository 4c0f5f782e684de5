// Save-game documents from arbitrary bytes: reading a record either succeeds or throws
// xs::exception or boost::bad_lexical_cast; nothing else may escape, crash or leak. The same
// bytes taken as 8-bit text must also survive a write and a read unchanged, and the first
// four taken as a finite float must read back as that float.
#include "Include/common/Text.h"
#include "Include/common/XmlSer.h"

#include <boost/lexical_cast.hpp>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/mstream.h>

namespace {

struct Entry {
    template <typename A>
    void Serialize(A& archive) {
        archive& xs::nvp("course", course) & xs::nvp("on", on, false) & xs::nvp("text", text);
    }
    void SaveState(xs::OArchive& archive) { Serialize(archive); }
    void LoadState(xs::IArchive& archive) { Serialize(archive); }
    float course = 0.0f;
    bool on = false;
    std::string text;
};

struct Record {
    std::string from;
    std::vector<std::string> items;
    std::map<std::string, std::shared_ptr<Entry>> states{{"a", std::make_shared<Entry>()},
                                                         {"b", nullptr}};
    void SaveXml(xs::OArchive& archive) {
        archive& xs::nvp("from", from) & xs::nvp("item", items) &
            xs::map_nvp("state", states, "name");
    }
    void LoadXml(xs::IArchive& archive) {
        archive& xs::nvp("item", items) & xs::map_nvp("state", states, "name") &
            xs::nvp("from", from);
    }
};

void ReadDocument(const std::string& text) {
    xs::IArchive archive(text);
    Record record;
    try {
        if (archive.OpenChild("game")) {
            archive& xs::nvp("inventory", record);
        }
    } catch (const xs::exception&) {
    } catch (const boost::bad_lexical_cast&) {
    }
}

void RoundTrip(const std::string& text) {
    Record saved;
    saved.from = text;
    saved.items = {text, text};
    saved.states["a"]->text = text;
    wxMemoryOutputStream out;
    xs::OArchive writer(out);
    writer.AddChild("game");
    writer& xs::nvp("inventory", saved);
    writer.Close();
    if (!writer.Finish()) {
        std::abort();
    }
    std::string document(out.GetLength(), '\0');
    out.CopyTo(document.data(), document.size());
    xs::IArchive reader(document);
    Record loaded;
    if (!reader.OpenChild("game")) {
        std::abort();
    }
    reader& xs::nvp("inventory", loaded);
    if (loaded.from != text || loaded.items != saved.items || loaded.states["a"]->text != text) {
        std::abort();
    }
}

void FloatRoundTrip(const std::uint8_t* data, std::size_t size) {
    float value = 0.0f;
    if (size < sizeof value) {
        return;
    }
    std::memcpy(&value, data, sizeof value);
    if (std::isfinite(value) && xs::text::ParseFloat(xs::text::FormatFloat(value)) != value) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    wxInitialize();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    wxLogNull quiet;
    const std::string text(reinterpret_cast<const char*>(data), size);
    ReadDocument(text);
    RoundTrip(text);
    FloatRoundTrip(data, size);
    return 0;
}
