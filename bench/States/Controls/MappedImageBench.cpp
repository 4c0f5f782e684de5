// Drawing a screen's worth of mapped images: 50 images animated over one stripe of 200
// frames, against 50 plain images animated over the same 200 cells of the same texture, on
// the offscreen device in the same run. A mapped image finds its frame in its stripe, a plain
// one computes it from its grid; with the stripe looked up once at layout, the two should cost
// about the same per frame. Compare the items_per_second (images) of the mapped and the plain
// run of each benchmark: DrawImages draws whole frames, FindFrames asks only the texture
// handlers for the frames.
#include "../../support/OffscreenDevice.h"
#include "FileSystem/Locator.h"
#include "Game/Game.h"
#include "Game/GfxLink.h"
#include "Game/Opts.h"
#include "Game/Startup.h"
#include "Game/XmlDom.h"
#include "States/Controls/Image.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>
#include <wx/init.h>

namespace fs = std::filesystem;

namespace {

constexpr int kImages = 50;
constexpr int kFrames = 200;
constexpr int kColumns = 20; // frames per row of the texture
constexpr int kCell = 16;    // frame size in pixels
// A path as long as real games use, so that a copy of a frame's path is not free.
const std::string kTexture = "textures\\animations\\walk_cycle.tga";

// An uncompressed 32-bit TGA, rows from the top, every cell a different colour.
std::string Tga(int w, int h) {
    std::string out(18, '\0');
    out[2] = 2;
    out[12] = char(w & 0xFF), out[13] = char(w >> 8);
    out[14] = char(h & 0xFF), out[15] = char(h >> 8);
    out[16] = 32;
    out[17] = 0x28;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            out += {char(x / kCell * 12), char(y / kCell * 24), char(x ^ y), char(0xFF)};
        }
    }
    return out;
}

// The stripe of 200 frames: one fragment per row of the texture.
std::string StripeXml() {
    std::string xml = "<textures><stripe name=\"walk\" src=\"" + kTexture + "\" length=\"" +
                      std::to_string(kFrames) + "\" width=\"16\" height=\"16\">";
    for (int row = 0; row < kFrames / kColumns; ++row) {
        xml += "<fragment frame=\"" + std::to_string(row * kColumns + 1) + "\" length=\"" +
               std::to_string(kColumns) + "\" x=\"0\" y=\"" + std::to_string(row * kCell) + "\"/>";
    }
    return xml + "</stripe></textures>";
}

// An image of either kind at its own place, looping over all 200 frames, 10 ms each.
std::string ImageXml(bool mapped, int i) {
    const std::string place =
        " x=\"" + std::to_string(i % 10 * 100) + "\" y=\"" + std::to_string(i / 10 * 100) + "\"";
    const std::string state =
        "<state name=\"s\" frame=\"1\" length=\"200\" delay=\"10\" loop=\"yes\"/>";
    return mapped ? "<imagemapped tex=\"walk\" start=\"s\"" + place + ">" + state + "</imagemapped>"
                  : "<image tex=\"" + kTexture + "\" frames=\"200\" width=\"16\" height=\"16\" " +
                        "start=\"s\"" + place + ">" + state + "</image>";
}

// The game object on the offscreen device, the texture in a data folder of its own, the
// stripe declared, and both sets of images read, laid out and started.
struct Context : bench::OffscreenDevice {
    // Presented without waiting for a vertical blank.
    Context()
        : OffscreenDevice(0),
          root(fs::temp_directory_path() / ("kv_mapped_images_" + std::to_string(::getpid()))),
          opts(g_opts), gameObject(g_game) {
        if (!device) {
            return;
        }
        GfxLink::Publish(device, nullptr);
        fs::create_directories(root / "Data" / "textures" / "animations");
        std::ofstream(root / "Data" / "textures" / "animations" / "walk_cycle.tga",
                      std::ios::binary)
            << Tga(kColumns * kCell, kFrames / kColumns * kCell);
        Locator::Instance().Init(root.string());
        game().texMgr_.LoadList(ElementOf(StripeXml(), "textures"));
        for (int i = 0; i < kImages; ++i) {
            mapped.push_back(Read<State::Control::ImageMapped>(ImageXml(true, i), "imagemapped"));
            plain.push_back(Read<State::Control::Image>(ImageXml(false, i), "image"));
        }
    }
    ~Context() {
        mapped.clear();
        plain.clear();
        GfxLink::Withdraw();
        fs::remove_all(root);
    }

    static XmlDom::Element ElementOf(const std::string& xml, const std::string& tag) {
        return XmlDom::Child(
            XmlDom::Root(XmlDom::LoadString("<korvantine>" + xml + "</korvantine>")), tag);
    }

    template <typename T>
    static std::shared_ptr<T> Read(const std::string& xml, const std::string& tag) {
        auto image = std::make_shared<T>();
        State::Control::Base::LoadCommon(*image, ElementOf(xml, tag));
        image->Layout();
        image->Start();
        return image;
    }

    wxInitializer library;
    fs::path root;
    ScopedGlobal<Opts::Data> opts;
    ScopedGlobal<Game> gameObject;
    std::vector<std::shared_ptr<State::Control::ImageMapped>> mapped;
    std::vector<std::shared_ptr<State::Control::Image>> plain;
};

Context& TheContext() {
    static Context context;
    return context;
}

template <typename Images>
void Draw(benchmark::State& state, Gfx::Device& device, const Images& images) {
    for (auto _ : state) {
        device.BeginScene();
        for (const auto& image : images) {
            image->Render();
        }
        device.EndScene();
        // Presenting is the same whatever was drawn, and would drown the difference.
        state.PauseTiming();
        device.Present();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kImages);
}

// A frame of the 50 images drawn (each frame is presented, untimed).
void DrawImages(benchmark::State& state, bool mapped) {
    Context& context = TheContext();
    if (!context.device) {
        state.SkipWithError("no OpenGL device");
        return;
    }
    mapped ? Draw(state, *context.device, context.mapped)
           : Draw(state, *context.device, context.plain);
}

template <typename Images>
void Find(benchmark::State& state, const Images& images) {
    State::Control::ImageFrame frame;
    std::uint32_t F = 0;
    for (auto _ : state) {
        for (const auto& image : images) {
            F = F % kFrames + 1;
            benchmark::DoNotOptimize(image->th_.Frame(F, frame));
        }
    }
    state.SetItemsProcessed(state.iterations() * kImages);
}

// Only what each draw asks of the texture handler: the texture and the rectangle of the
// frame, over every frame of the stripe in turn.
void FindFrames(benchmark::State& state, bool mapped) {
    Context& context = TheContext();
    if (!context.device) {
        state.SkipWithError("no OpenGL device");
        return;
    }
    mapped ? Find(state, context.mapped) : Find(state, context.plain);
}

} // namespace

BENCHMARK_CAPTURE(DrawImages, mapped, true)->UseRealTime();
BENCHMARK_CAPTURE(DrawImages, plain, false)->UseRealTime();
BENCHMARK_CAPTURE(FindFrames, mapped, true);
BENCHMARK_CAPTURE(FindFrames, plain, false);
