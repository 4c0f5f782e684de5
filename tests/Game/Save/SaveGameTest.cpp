#include "../Switch/SwitchFixture.h"
#include "FileSystem/Locator.h"
#include "FileSystem/Pack.h"
#include "Game/SaveInfo.h"
#include "Game/SavePack.h"
#include "States/Controls/Image.h"
#include "States/Screen.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <tuple>
#include <unistd.h>
#include <wx/init.h>

namespace {
std::atomic<bool> g_failFolderSync{false};
} // namespace

// The C library's fsync as the engine calls it in this program, failing for folders while
// g_failFolderSync is set (the engine is a static library: this definition takes the place
// of the C library's).
extern "C" int fsync(int fd) {
    struct stat status {};
    if (g_failFolderSync && ::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode)) {
        errno = EIO;
        return -1;
    }
    return static_cast<int>(::syscall(SYS_fsync, fd));
}

namespace {

using Bytes = std::vector<std::uint8_t>;

// The summary's time: extended-precision bytes, exact for floats; refused when the name's
// length runs past the end, the number is an infinity or NaN, or no float can hold it.
TEST(SaveInfoTest, Summary) {
    const struct {
        float time;
        Bytes extended;
    } cases[] = {
        {1.0f, {0x3F, 0xFF, 0x80, 0, 0, 0, 0, 0, 0, 0}},
        {0.0f, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {2.5f, {0x40, 0x00, 0xA0, 0, 0, 0, 0, 0, 0, 0}},
        {123456.789f, {}},
        {1e-40f, {}},
    };
    for (const auto& c : cases) {
        const Bytes info = SaveInfo::Encode(c.time, "part2");
        ASSERT_EQ(info.size(), 19u);
        if (!c.extended.empty()) {
            EXPECT_EQ(Bytes(info.begin(), info.begin() + 10), c.extended) << c.time;
        }
        EXPECT_EQ(Bytes(info.begin() + 10, info.begin() + 14), (Bytes{5, 0, 0, 0}));
        float time = -1.0f;
        std::string part;
        ASSERT_TRUE(SaveInfo::Decode(info, time, part)) << c.time;
        EXPECT_EQ(time, c.time);
        EXPECT_EQ(part, "part2");
    }
    Bytes longName = SaveInfo::Encode(1.0f, "ab");
    longName[10] = 3;
    Bytes infinite = SaveInfo::Encode(1.0f, "");
    infinite[0] = 0x7F;
    infinite[1] = 0xFF;
    Bytes huge = SaveInfo::Encode(1.0f, "");
    huge[0] = 0x47; // 2^(0x47FF - 16383): beyond any float
    const Bytes negative = SaveInfo::Encode(-2.5f, "");
    EXPECT_EQ(Bytes(negative.begin(), negative.begin() + 2), (Bytes{0xC0, 0x00}));
    for (const Bytes& bad : {Bytes(13, 0), longName, infinite, huge, negative}) {
        float time = 7.0f;
        std::string part = "kept";
        EXPECT_FALSE(SaveInfo::Decode(bad, time, part));
        EXPECT_EQ(time, 7.0f);
        EXPECT_EQ(part, "kept");
    }
}

// A part with the screens A and B (B holding a lamp image, noting its reset and failing it
// while vars.broken is set), "tower"
// (holding a flag image: a state whose name begins with 't' but is no transition), a
// loading screen and the menu, on an installation tree of its own.
class SaveGameTest : public test::SwitchFixture {
protected:
    static void SetUpTestSuite() { wxInitialize(); }
    static void TearDownTestSuite() { wxUninitialize(); }

    SaveGameTest() {
        Locator::Instance().Init(root_.Path().string());
        opts().nomultithread_ = true;
        opts().noload_ = true;
        LoadPart(
            Noted("screen", "A") + R"(<screen name="B" src="b.png">)" +
            Event("reset", "seen[#seen + 1] = 'B:reset' if vars.broken then error('broken') end") +
            Image("lamp", "off", "on") + R"(</screen><screen name="tower" src="t.png">)" +
            Image("flag", "down", "up") + R"(</screen><loading name="L" src="l.png"/>)" +
            Noted("screen", "menu"));
        game().lua_.Execute("part_load('p')"); // the part's preload runs at once
        map().Update();
        game().lua_.Execute("game_reset() move('B') vars.a = 1");
        RunOut();
        Control("B", "lamp").SetState("on");
        Control("tower", "flag").SetState("up");
        // A play time of more digits than 7 (12,345,679 ms and more).
        Frame(12'345'679);
        game().lua_.Execute("game_menu()");
        RunOut();
        Seen();
    }

    static std::string Image(const std::string& name, const std::string& first,
                             const std::string& second) {
        return "<image name=\"" + name + "\" tex=\"i.png\" frames=\"2\" start=\"" + first +
               "\"><state name=\"" + first + "\" frame=\"1\"/><state name=\"" + second +
               "\" frame=\"2\"/></image>";
    }

    State::Control::Image& Control(const std::string& state, const std::string& name) {
        const auto screen = std::dynamic_pointer_cast<State::Screen>(map().GetState(state));
        return dynamic_cast<State::Control::Image&>(*screen->Controls().at(name));
    }

    // The game's look that a load changes: vars.a, the lamp, the flag, the current state and
    // the carried items.
    std::string Look() {
        std::string look = Eval("vars.a") + " " + Control("B", "lamp").GetState() + " " +
                           Control("tower", "flag").GetState() + " " + map().Current();
        for (const std::string& item : game().inventory_.Carried()) {
            look += " " + item;
        }
        return look;
    }

    // The "data" entry of a slot's file, as it is on disk now.
    std::string Data(int slot) {
        EXPECT_TRUE(Pack::Mount(Path(slot)));
        const auto stream = Locator::Instance().OpenLocation(Path(slot) + "#kpk:data");
        std::string text;
        char chunk[4096];
        while (stream && stream->Read(chunk, sizeof chunk).LastRead() > 0) {
            text.append(chunk, stream->LastRead());
        }
        return text;
    }

    std::string Path(int slot) { return Locator::Instance().SavePath(slot); }

    test::TempDir root_;
};

// A saved game comes back after the game changed: vars, the image states (the tower's
// included), the remembered state and the play time to the millisecond; the summary names
// its part and time; transitions' states are not written.
TEST_F(SaveGameTest, SaveRefreshAndLoad) {
    const float played = game().GameTime();
    EXPECT_GE(played, 12'345'679.0f);
    EXPECT_EQ(Eval("game_save(2)"), "true");
    EXPECT_EQ(game().varsText_, "vars = { a = 1 }");
    game().lua_.Execute("game_save_refresh()");
    EXPECT_EQ(Eval("game_save_part(2)"), "p");
    EXPECT_EQ(game().SaveTime(2), played);
    EXPECT_EQ(Eval("game_save_part(3)"), "empty");

    const std::string data = Data(2);
    EXPECT_NE(data.find(R"(<game vars="vars = { a = 1 }")"), std::string::npos) << data;
    EXPECT_NE(data.find(R"(<map last="B" part="p">)"), std::string::npos) << data;
    EXPECT_NE(data.find(R"(<control name="lamp" state="on"/>)"), std::string::npos) << data;
    EXPECT_NE(data.find(R"(<state name="tower">)"), std::string::npos) << data;
    EXPECT_EQ(data.find("t_"), std::string::npos) << data;

    game().lua_.Execute("game_reset() vars.a = 5");
    EXPECT_EQ(Eval("game_load(5)"), "false"); // no file: nothing changes
    EXPECT_EQ(Look(), "5 off down menu");
    game().lua_.Execute("game_load(2)");
    EXPECT_EQ(game().GameTime(), played);
    RunOut();
    EXPECT_EQ(Look(), "1 on up B");

    // Saving over the slot replaces the whole file and leaves nothing beside it.
    game().lua_.Execute("vars.a = 2 game_save(2) game_save_refresh()");
    EXPECT_NE(Data(2).find(R"(<game vars="vars = { a = 2 }")"), std::string::npos);
    EXPECT_EQ(Eval("game_save_part(2)"), "p");
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(Locator::Instance().SaveDir())) {
        files.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(files, std::vector<std::string>{"save_2.kgs"});
}

// The soft file-size limit of the process for a while; writing past it fails with EFBIG
// instead of raising SIGXFSZ.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        EXPECT_EQ(::getrlimit(RLIMIT_FSIZE, &kept_), 0);
        signal_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = kept_;
        limit.rlim_cur = bytes;
        EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    }
    ~FileSizeLimit() {
        EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &kept_), 0);
        std::signal(SIGXFSZ, signal_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit kept_{};
    void (*signal_)(int);
};

// A save that cannot be written answers false and the game goes on; the slot's old file
// stays as it was and no temporary file is left. A missing Save folder is made.
TEST_F(SaveGameTest, FailedSavesKeepTheGameAndTheOldFile) {
    namespace fs = std::filesystem;
    const fs::path folder = Locator::Instance().SaveDir();
    const fs::path file = Path(1);
    const fs::path temp = Path(1) + ".tmp";
    const struct {
        const char* what;
        std::function<void()> arrange;
        bool saves;
    } cases[] = {
        {"Save folder missing", [&] { fs::remove_all(folder); }, true},
        {"Save folder a file",
         [&] {
             fs::remove_all(folder);
             test::WriteFile(folder, "x");
         },
         false},
        {"temporary name a folder", [&] { fs::create_directories(temp); }, false},
        // Write permission means nothing to a privileged process: it saves then.
        {"Save folder read-only",
         [&] { fs::permissions(folder, fs::perms::owner_write, fs::perm_options::remove); },
         ::geteuid() == 0},
        {"disk full", [] {}, false},
        {"a link planted at the temporary name",
         [&] { fs::create_symlink(root_ / "outside", temp); }, true},
        {"the folder does not sync", [] { g_failFolderSync = true; }, true},
    };
    test::WriteFile(root_ / "outside", "outside");
    for (const auto& c : cases) {
        fs::remove_all(folder);
        EXPECT_EQ(Eval("game_save(1)"), "true") << c.what;
        const std::string old = test::ReadFile(file);
        c.arrange();
        const std::string kept = fs::is_regular_file(file) ? old : "";
        game().lua_.Execute("vars.a = 7 vars.big = string.rep('x', 100000)");
        NewLogLines();
        std::string saved;
        if (std::string(c.what) == "disk full") {
            const FileSizeLimit limit(64 * 1024);
            saved = Eval("game_save(1)");
        } else {
            saved = Eval("game_save(1)");
        }
        g_failFolderSync = false;
        const std::vector<std::string> lines = NewLogLines();
        std::error_code error; // the folder may be a file or gone
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, error);
        EXPECT_EQ(saved, c.saves ? "true" : "false") << c.what;
        EXPECT_EQ(test::ReadFile(root_ / "outside"), "outside") << c.what;
        EXPECT_FALSE(fs::is_symlink(file) || fs::is_symlink(temp)) << c.what;
        if (std::string(c.what) == "the folder does not sync") {
            EXPECT_EQ(lines, std::vector<std::string>{"Cannot sync folder '" + folder.string() +
                                                      "' after writing '" + file.string() +
                                                      "': Input/output error"});
        }
        if (!c.saves) {
            EXPECT_EQ(fs::is_regular_file(file) ? test::ReadFile(file) : "", kept) << c.what;
            ASSERT_FALSE(lines.empty()) << c.what;
            EXPECT_EQ(lines.back().rfind("Cannot write save game '" + Path(1) + "'", 0), 0u)
                << c.what;
        }
        EXPECT_FALSE(fs::is_regular_file(temp)) << c.what;
        fs::remove_all(temp, error);
        game().lua_.Execute("vars.big = nil");
        EXPECT_EQ(Look(), "7 on up menu") << c.what; // the game goes on as it was
    }
}

// A game that game_load would refuse is not written: game_save answers false, the log says
// why and the slot keeps its old file. What the variable dump cannot keep (a function) is
// left out, and such a save is written and loads. A dump that fails refuses the save the
// same way.
TEST_F(SaveGameTest, SavesOnlyWhatLoads) {
    const struct {
        const char* script;
        const char* saved;  // game_save's answer
        const char* reason; // of the log line when refused
    } cases[] = {
        {"vars = 5", "false", "vars is not a table of strings, numbers, booleans and tables"},
        {"vars = { 'a', { 'b' } } vars[3] = print", "true", ""},
        {"vardump = function() vars_d = 'vars = os.getenv(\"HOME\")' end", "false",
         "vars:1: attempt to index global 'os' (a nil value)"},
        {"vardump = function() vars_d = 'while true do end' end", "false", "too many instructions"},
        {"vardump = function() error('no dump') end", "false",
         "[string \"vardump = function() error('no dump') end\"]:1: no dump"},
        {"vardump = function() vars_d = {} end", "false", "Not a string"},
    };
    for (const auto& c : cases) {
        game().lua_.Execute("game_reset() vars.a = 1");
        ASSERT_EQ(Eval("game_save(1)"), "true");
        const std::string old = Data(1);
        game().lua_.Execute("saved_dump = vardump");
        game().lua_.Execute(c.script);
        NewLogLines();
        EXPECT_EQ(Eval("game_save(1)"), c.saved) << c.script;
        game().lua_.Execute("vardump = saved_dump");
        if (std::string(c.saved) == "false") {
            EXPECT_EQ(NewLogLines(), std::vector<std::string>{"Cannot write save game '" + Path(1) +
                                                              "': " + c.reason})
                << c.script;
            EXPECT_EQ(Data(1), old) << c.script;
        } else {
            NewLogLines();
            game().lua_.Execute("vars = {} game_load(1)");
            EXPECT_TRUE(NewLogLines().empty()) << c.script;
            EXPECT_EQ(Eval("vars[2][1] .. tostring(vars[3])"), "bnil") << c.script;
        }
    }
}

// Slots other than 1 to 6 are refused. A file that is no pack, has no game data, is no game
// document, lacks a record or an item, or whose vars text does anything but build the
// table (reach a library or an engine function, run forever) is refused with a log line,
// before anything is reset: no state restarts, no script of the game runs, nothing changes.
// Names the definition no longer has are skipped, and a save without the tower's record
// (as written before such states were saved) loads with the tower as the reset left it.
TEST_F(SaveGameTest, RefusesWhatItCannotLoad) {
    NewLogLines();
    EXPECT_EQ(Eval("game_save(7)"), "false");
    game().lua_.Execute("game_load(0)");
    EXPECT_EQ(NewLogLines(),
              (std::vector<std::string>{"game_save: no save slot 7", "game_load: no save slot 0"}));
    EXPECT_FALSE(std::filesystem::exists(Path(7)));

    ASSERT_EQ(Eval("game_save(1)"), "true");
    const std::string good = Data(1);
    const std::size_t vars = good.find("vars = { a = 1 }");
    const auto withVars = [&](const std::string& code) {
        return std::string(good).replace(vars, 16, code);
    };
    const auto flipped = [&](const std::string& at, char to) {
        std::string text = good;
        text[text.find(at)] = to;
        return text;
    };
    const std::string made = (root_ / "made").string();
    const std::string kept = (root_ / "kept").string();
    test::WriteFile(kept, "");

    const std::string head = R"(<game vars="vars = { a = 3 }" time="5" control="no">)";
    const std::string inventory =
        R"(<inventory from=""><item>key</item><item>gone</item><library/></inventory>)";
    const std::string lamp = R"(<state name="B"><control name="lamp" state="on"/></state>)";
    const auto document = [&](const std::string& map) {
        return head + inventory + R"(<map last="B" part="p">)" + map + "</map></game>";
    };
    const struct {
        std::string data;
        const char* look; // after the load; empty: refused
    } cases[] = {
        {good, "1 on up B"},
        {document(lamp), "3 on down B key gone"},
        {document(lamp + R"(<state name="gone"/><state name="B"><control name="torch"/></state>)"),
         "3 on down B key gone"},
        {"not a pack", ""},
        {"", ""},
        {good.substr(0, 40), ""},
        {good.substr(0, good.size() / 2), ""},
        {good.substr(0, good.size() - 3), ""},
        {flipped("<map", '!'), ""},
        {flipped("time=\"", 'x'), ""},
        {flipped("vars = {", '\xFF'), ""},
        {withVars("io.open('" + made + "', 'w')"), ""},
        {withVars("os.remove('" + kept + "')"), ""},
        {withVars("game_exit()"), ""},
        {withVars("while true do end"), ""},
        {withVars("vars = {"), ""},
        {"<game/>", ""},
        {head + inventory + "</game>", ""},
        {head + R"(<inventory from=""/><map last="B" part="p"/></game>)", ""},
        {R"(<game vars="vars = {}" control="no">)" + inventory +
             R"(<map last="B" part="p"/></game>)",
         ""},
        {head + inventory + R"(<map part="p"/></game>)", ""},
        {head + inventory + R"(<map last="B" part="old"/></game>)", ""},
        {head + inventory + R"(<map last="gone" part="p"/></game>)", ""},
        {document(R"(<state/>)"), ""},
        {document(R"(<state name="B"><control name="lamp"/></state>)"), ""},
        // The tower's record reads and is taken back when the lamp's does not.
        {document(R"(<state name="tower"><control name="flag" state="up"/></state>)"
                  R"(<state name="B"><control state="on"/></state>)"),
         ""},
    };
    std::filesystem::create_directories(Locator::Instance().SaveDir());
    const auto arrange = [&] {
        game().lua_.Execute("game_menu() vars.a = 9");
        RunOut();
        Control("B", "lamp").SetState("off");
        Control("tower", "flag").SetState("down");
        game().inventory_.Reset();
        Seen();
        NewLogLines();
    };
    for (const auto& c : cases) {
        if (c.data == "not a pack") {
            test::WriteFile(Path(1), c.data);
        } else {
            Pack::Entries entries;
            if (!c.data.empty()) {
                entries["data"].assign(c.data.begin(), c.data.end());
            }
            ASSERT_TRUE(Pack::Write(entries, Path(1)));
        }
        arrange();
        EXPECT_EQ(Eval("game_load(1)"), c.look[0] != '\0' ? "true" : "false") << c.data;
        RunOut();
        const std::vector<std::string> lines = NewLogLines();
        if (c.look[0] != '\0') {
            EXPECT_EQ(Look(), c.look) << c.data;
            EXPECT_NE(Seen().find("B:reset"), std::string::npos) << c.data;
        } else {
            EXPECT_EQ(Look(), "9 off down menu") << c.data;
            EXPECT_EQ(Seen(), "") << c.data;
            ASSERT_FALSE(lines.empty()) << c.data;
            EXPECT_EQ(lines.back().rfind("Bad save game '" + Path(1) + "'", 0), 0u) << lines.back();
        }
    }
    EXPECT_FALSE(std::filesystem::exists(made));
    EXPECT_TRUE(std::filesystem::exists(kept));
    EXPECT_TRUE(quitCodes_.empty());

    // A load that fails part-way (in a state's own reset script) takes the game back as it
    // was, without restarting any state a second time.
    Pack::Entries entries;
    entries["data"].assign(good.begin(), good.end());
    ASSERT_TRUE(Pack::Write(entries, Path(1)));
    arrange();
    game().lua_.Execute("vars.broken = true game_load(1)");
    RunOut();
    EXPECT_EQ(Seen(), "B:reset");
    EXPECT_EQ(Look(), "9 off down menu");
    EXPECT_EQ(Eval("vars.broken"), "true");
    const std::vector<std::string> lines = NewLogLines();
    EXPECT_NE(std::find_if(lines.begin(), lines.end(),
                           [&](const std::string& line) {
                               return line.rfind("Bad save game '" + Path(1) + "'", 0) == 0;
                           }),
              lines.end());
}

using Claims = std::vector<std::tuple<std::string, std::string, std::uint64_t>>;

// A save pack written byte by byte: entries of the names and bytes given, each claiming
// `claimed` bytes (its own size when 0), the file `length` bytes long (0: as far as the
// claims reach; sparse, nothing is written past the real bytes).
void WriteClaims(const std::string& path, const Claims& entries, std::uint64_t length) {
    std::string pack = "KVPK";
    const auto u32 = [&](std::uint64_t value) {
        for (int shift = 0; shift < 32; shift += 8) {
            pack.push_back(static_cast<char>(value >> shift));
        }
    };
    u32(entries.size());
    std::uint64_t offset = 0;
    std::string data;
    for (const auto& [name, bytes, claimed] : entries) {
        u32(name.size());
        pack += name;
        u32(offset);
        u32(claimed != 0 ? claimed : bytes.size());
        offset += claimed != 0 ? claimed : bytes.size();
        data += bytes;
    }
    Pack::Scramble(reinterpret_cast<std::uint8_t*>(data.data()), data.size());
    test::WriteFile(path, pack + data);
    std::filesystem::resize_file(path, length != 0 ? length : pack.size() + offset);
}

// Saves that are too deep, too large, claim sizes they cannot have or a negative play time
// are refused with one log line, before anything is reset, without reading what they claim;
// saves at the bounds, and a vars text holding a 6 MB string, load. game_load answers which.
TEST_F(SaveGameTest, HostileSavesEndWithinTheirBounds) {
    ASSERT_EQ(Eval("game_save(1)"), "true");
    const std::string good = Data(1);
    const Bytes summary = SaveInfo::Encode(5.0f, "p");
    const std::string info(summary.begin(), summary.end());
    const auto replaced = [&](const std::string& at, const std::string& by) {
        return std::string(good).replace(good.find(at), at.size(), by);
    };
    // `levels` elements nested in B's record (which ignores them): three levels more deep.
    const auto nested = [&](std::size_t levels) {
        std::string inner;
        for (std::size_t i = 0; i < levels; ++i) {
            inner += "<x>";
        }
        for (std::size_t i = 0; i < levels; ++i) {
            inner += "</x>";
        }
        return replaced("<state name=\"B\">", "<state name=\"B\">" + inner);
    };
    std::string elements;
    for (int i = 0; i < 1'000'000; ++i) {
        elements += "<x/>";
    }
    const std::string big(6'000'000, 'y');
    const std::uint64_t k2GB = 2ULL << 30;
    const auto withInfo = [&](const std::string& data) {
        return Claims{{"data", data, 0}, {"info", info, 0}};
    };
    Claims many = withInfo(good);
    for (int i = 0; i < 15; ++i) {
        many.emplace_back("x" + std::to_string(i), "", 0);
    }
    const std::size_t at = good.find("time=\"");
    const std::string time = good.substr(at, good.find('"', at + 6) + 1 - at);
    Bytes negative = SaveInfo::Encode(5.0f, "p");
    negative[0] |= 0x80;
    const struct {
        const char* what;
        Claims entries;
        const char* call;   // game_load(1) or game_save_refresh()
        const char* reason; // of the one log line; empty: taken
        std::uint64_t length = 0;
    } cases[] = {
        {"64 levels deep", withInfo(nested(61)), "game_load(1)", ""},
        {"65 levels deep", withInfo(nested(62)), "game_load(1)",
         "the XML nests more than 64 elements"},
        {"300,000 levels deep (2.1 MB)", withInfo(nested(300'000)), "game_load(1)",
         "the XML nests more than 64 elements"},
        {"a million elements",
         withInfo(replaced("<state name=\"B\">", "<state name=\"B\">" + elements)), "game_load(1)",
         "the XML holds more than 1000000 elements"},
        {"a document type",
         withInfo(replaced("<game", "<!DOCTYPE game [<!ENTITY a \"aa\">]><game")), "game_load(1)",
         "the XML declares a document type"},
        {"a 6 MB string in vars",
         withInfo(replaced("vars = { a = 1 }", "vars = { a = 1, s = &quot;" + big + "&quot; }")),
         "game_load(1)", ""},
        {"play time -1e30", withInfo(replaced(time, "time=\"-1e30\"")), "game_load(1)",
         "the play time -1.00000002e+30 is negative"},
        {"data claims 2 GB",
         {{"data", good, k2GB}},
         "game_load(1)",
         "the file is 2147483672 bytes, more than a save can be (67239950)"},
        {"data claims 64 MiB + 1",
         {{"data", good, SavePack::kMaxData + 1}},
         "game_load(1)",
         "its game data is 67108865 bytes, more than 67108864"},
        {"data past the end",
         {{"data", good, good.size() + 1}},
         "game_load(1)",
         "not a save pack",
         24 + good.size()},
        {"17 entries", many, "game_load(1)", "not a save pack"},
        {"info claims 2 GB",
         {{"info", info, k2GB}},
         "game_save_refresh()",
         "the file is 2147483672 bytes, more than a save can be (67239950)"},
        {"info claims 1 MiB",
         {{"info", info, 1 << 20}},
         "game_save_refresh()",
         "its summary is 1048576 bytes, more than 65550"},
        {"info with a negative time",
         {{"data", good, 0}, {"info", std::string(negative.begin(), negative.end()), 0}},
         "game_save_refresh()",
         "the summary does not read"},
    };
    std::filesystem::create_directories(Locator::Instance().SaveDir());
    for (const auto& c : cases) {
        WriteClaims(Path(1), c.entries, c.length);
        const std::string call = c.call;
        const std::string reason = c.reason;
        game().lua_.Execute("game_menu() vars.a = 9");
        RunOut();
        Control("B", "lamp").SetState("off");
        Seen();
        NewLogLines();
        std::string answer;
        if (call == "game_load(1)") {
            answer = Eval(call);
        } else {
            game().lua_.Execute(call);
        }
        RunOut();
        const std::vector<std::string> lines = NewLogLines();
        if (reason.empty()) {
            EXPECT_EQ(answer, "true") << c.what << ": " << (lines.empty() ? "" : lines.back());
            EXPECT_EQ(Look(), "1 on up B") << c.what;
            continue;
        }
        EXPECT_EQ(lines, std::vector<std::string>{"Bad save game '" + Path(1) + "': " + reason})
            << c.what;
        EXPECT_EQ(Look(), "9 off up menu") << c.what;
        EXPECT_EQ(Seen(), "") << c.what;
        if (call == "game_load(1)") {
            EXPECT_EQ(answer, "false") << c.what;
        } else {
            EXPECT_EQ(Eval("game_save_part(1)"), "empty") << c.what;
        }
    }

    // Such a game saves, and loads again.
    game().lua_.Execute("vars.s = string.rep('z', 6000000)");
    EXPECT_EQ(Eval("game_save(2)"), "true");
    game().lua_.Execute("vars = {}");
    EXPECT_EQ(Eval("game_load(2)"), "true");
    EXPECT_EQ(Eval("#vars.s"), "6000000");
}

} // namespace

// Variables that would hold the game, or that the next save could not write, are bounded on
// both paths. As the vars text of a save file, a run past its time or memory budget, or
// tables nested deeper than the dump writes or held in more than one place, are refused by
// game_load: one log line, and the game stays as it was. Made by the game's own scripts,
// they make game_save answer false: one log line, the slot keeps its file, the game goes on
// and the calling script does not fail.
TEST_F(SaveGameTest, BoundsHostileVars) {
    const auto nest = [](const std::string& root, int depth) {
        return "local t = " + root + " for i = 2, " + std::to_string(depth) +
               " do t[1] = {} t = t[1] end";
    };
    const std::string deep = "vars is nested deeper than 100 tables";
    const std::string shared = "vars holds a table in more than one place";
    const std::vector<std::string> budget = {"too many instructions", "ran for too long",
                                             "not enough memory"};
    const struct {
        std::string vars; // the vars text of a save (load), or a script run before game_save
        bool load;
        std::vector<std::string> reasons; // what the one log line may end with; none: taken
    } cases[] = {
        // Two strings of 2 MB compared without end: each comparison takes milliseconds.
        {"local s = 'x' for i = 1, 21 do s = s .. s end local t = s .. 'y' while t > s do end",
         true,
         {"ran for too long"}},
        {"local s = 'x' for i = 1, 26 do s = s .. s end vars = { s }",
         true,
         {"not enough memory"}}, // 64 MB
        {"vars = {} " + nest("vars", 30000), true, {deep}},
        {"vars = {} " + nest("vars", 101), true, {deep}},
        {"vars = { a = 1 } " + nest("vars", 100), true, {}},
        {"local t = {} vars = { t, t, a = 1 }", true, {shared}},
        // 2^40 paths, so a text of 2^40 tables.
        {"local t = {} for i = 1, 40 do t = { t, t } end vars = t", true, {shared}},
        {nest("vars", 30000), false, {deep}},
        {nest("vars", 101), false, {deep}},
        {nest("vars", 100), false, {}},
        {"local t = {} for i = 1, 40 do t = { t, t } end vars.t = t", false, budget},
    };
    ASSERT_EQ(Eval("game_save(1)"), "true");
    const std::string good = Data(1);
    for (const auto& c : cases) {
        game().lua_.Execute("game_menu() vars = { a = 9 }");
        RunOut();
        Control("B", "lamp").SetState("off");
        Seen();
        NewLogLines();
        const std::string before = Data(1);
        std::string answer;
        if (c.load) {
            Pack::Entries entries;
            const std::string data =
                std::string(good).replace(good.find("vars = { a = 1 }"), 16, c.vars);
            entries["data"].assign(data.begin(), data.end());
            ASSERT_TRUE(Pack::Write(entries, Path(2)));
            game().lua_.Execute("game_load(2)");
            RunOut();
        } else {
            game().lua_.Execute(c.vars);
            answer = Eval("game_save(1)");
        }
        const std::vector<std::string> lines = NewLogLines();
        if (c.reasons.empty()) { // taken: loaded, or saved and loaded back
            EXPECT_TRUE(lines.empty()) << c.vars << ": " << lines.front();
            if (!c.load) {
                EXPECT_EQ(answer, "true");
                game().lua_.Execute("vars = {} game_load(1)");
            }
            EXPECT_EQ(Eval("vars.a"), c.load ? "1" : "9") << c.vars;
            continue;
        }
        const std::string what = c.load ? "Bad save game '" + Path(2) + "': "
                                        : "Cannot write save game '" + Path(1) + "': ";
        ASSERT_EQ(lines.size(), 1u) << c.vars;
        ASSERT_EQ(lines[0].rfind(what, 0), 0u) << c.vars << ": " << lines[0];
        EXPECT_NE(std::find(c.reasons.begin(), c.reasons.end(), lines[0].substr(what.size())),
                  c.reasons.end())
            << c.vars << ": " << lines[0];
        EXPECT_EQ(Look(), "9 off up menu") << c.vars;
        EXPECT_EQ(Seen(), "") << c.vars;
        if (!c.load) {
            EXPECT_EQ(answer, "false") << c.vars;
            EXPECT_EQ(Data(1), before) << c.vars;
        }
    }
}
