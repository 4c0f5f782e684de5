// The demo's interface pictures: the progress bar's cells, the cursor, item and book atlases
// and the inventory bar's background; and the list of every picture with its data path.

#include "Art.h"
#include "Painting.h"

#include <cmath>
#include <future>
#include <utility>

namespace Art {

namespace {

constexpr float kCell = 48.0f;
const Color kInk = Rgb(20, 16, 12);

// An arrow in a cursor cell pointing up (dir -1) or down (dir 1), outlined for contrast.
void Arrow(Canvas& c, float x0, float dir, const Color& fill) {
    const float cx = x0 + 25;
    const float tip = 25 + dir * 18;
    const float base = 25 - dir * 2;
    const std::vector<Vec> head = {{cx, tip}, {cx + 14, base}, {cx - 14, base}};
    const std::vector<Vec> shaft = {
        {cx - 5, base}, {cx + 5, base}, {cx + 5, 25 - dir * 18}, {cx - 5, 25 - dir * 18}};
    for (const Vec offset : {Vec{-1.5f, 0}, Vec{1.5f, 0}, Vec{0, -1.5f}, Vec{0, 1.5f}}) {
        std::vector<Vec> h = head;
        std::vector<Vec> s = shaft;
        for (Vec& p : h) {
            p = {p.x + offset.x, p.y + offset.y};
        }
        for (Vec& p : s) {
            p = {p.x + offset.x, p.y + offset.y};
        }
        c.FillPoly(h, kInk);
        c.FillPoly(s, kInk);
    }
    c.FillPoly(head, fill);
    c.FillPoly(shaft, fill);
}

} // namespace

Canvas ProgressBar() {
    // Cell i shows the bar i tenths full, one cell per row.
    Canvas c(512, 512);
    for (int i = 0; i < kBarSteps; ++i) {
        const float y0 = static_cast<float>(i * kBarH);
        const float filled = kBarW * i / 10.0f;
        c.FillRect(0, y0, filled, y0 + kBarH, [y0](float x, float y) {
            const float t = (y - y0) / kBarH;
            const float shine = 1.0f - std::fabs(t - 0.35f) * 1.2f;
            return Scale(Mix(Rgb(200, 140, 40), Rgb(255, 220, 120), shine),
                         0.85f + 0.15f * std::sin(x * 0.2f));
        });
    }
    return c;
}

Canvas CursorAtlas() {
    Canvas c(512, 64);
    // 0: the plain pointer, its tip on the hot spot.
    const std::vector<Vec> pointer = {{25, 25}, {25, 47}, {30, 42}, {35, 47},
                                      {38, 45}, {33, 40}, {40, 40}};
    for (const Vec offset : {Vec{-1.5f, 0}, Vec{1.5f, 0}, Vec{0, -1.5f}, Vec{0, 1.5f}}) {
        std::vector<Vec> shadow = pointer;
        for (Vec& p : shadow) {
            p = {p.x + offset.x, p.y + offset.y};
        }
        c.FillPoly(shadow, kInk);
    }
    c.FillPoly(pointer, Rgb(245, 240, 225));
    // 1 "move": forward; 2 "back": away.
    Arrow(c, kCell, -1.0f, Rgb(250, 220, 140));
    Arrow(c, 2 * kCell, 1.0f, Rgb(220, 200, 170));
    // 3 "do": an open ring; 4 "look": a magnifying glass.
    c.FillDisc(3 * kCell + 25, 25, 13, kInk);
    c.FillDisc(3 * kCell + 25, 25, 11, Rgb(250, 220, 140));
    c.FillDisc(3 * kCell + 25, 25, 6, kInk);
    c.FillDisc(3 * kCell + 25, 25, 4, Color{0, 0, 0, 0});
    c.Line(4 * kCell + 30, 30, 4 * kCell + 42, 42, 7.0f, kInk);
    c.Line(4 * kCell + 30, 30, 4 * kCell + 41, 41, 4.0f, Rgb(150, 110, 50));
    c.FillDisc(4 * kCell + 22, 22, 12, kInk);
    c.FillDisc(4 * kCell + 22, 22, 9, Rgb(190, 220, 240, 0.8f));
    // 5 and 6: the key and the candle held on the pointer, their icons outlined in ink.
    for (int item = 0; item < 2; ++item) {
        const float x0 = (5 + item) * kCell;
        const Canvas icon = ItemAtlas();
        for (int y = 0; y < 48; ++y) {
            for (int x = 0; x < 48; ++x) {
                const Color p = icon.At(int(item * kCell) + x, y);
                if (p.a > 0.0f) {
                    for (const Vec o : {Vec{-1, 0}, Vec{1, 0}, Vec{0, -1}, Vec{0, 1}}) {
                        c.Blend(int(x0 + x + o.x), int(y + o.y), {kInk.r, kInk.g, kInk.b, p.a});
                    }
                }
            }
        }
        for (int y = 0; y < 48; ++y) {
            for (int x = 0; x < 48; ++x) {
                const Color p = icon.At(int(item * kCell) + x, y);
                if (p.a > 0.0f) {
                    c.Blend(int(x0 + x), y, p);
                }
            }
        }
    }
    return c;
}

Canvas ItemAtlas() {
    Canvas c(512, 64);
    // 0: the cellar key.
    c.FillDisc(14, 24, 10, Rgb(200, 160, 60));
    c.FillDisc(14, 24, 5, Color{0, 0, 0, 0});
    c.FillRect(22, 21, 44, 27, Rgb(200, 160, 60));
    c.FillRect(36, 27, 40, 34, Rgb(200, 160, 60));
    c.FillRect(42, 27, 45, 32, Rgb(200, 160, 60));
    // 1: a candle.
    c.FillRect(kCell + 18, 18, kCell + 30, 44, Rgb(235, 230, 210));
    c.FillDisc(kCell + 24, 12, 5, Rgb(255, 210, 100));
    return c;
}

Canvas BookAtlas() {
    Canvas c(512, 64);
    // 0: the keeper's diary.
    c.FillRect(8, 6, 40, 44, Rgb(90, 30, 30));
    c.FillRect(10, 8, 38, 42, Rgb(120, 40, 36));
    c.FillRect(12, 8, 15, 42, Rgb(200, 160, 60));
    c.FillRect(20, 18, 34, 22, Rgb(200, 160, 60));
    return c;
}

Canvas BarBack() {
    Canvas c(1024, 64);
    c.FillRect(0, 0, 1024, 50, [](float x, float y) {
        return Scale(Paint::Wood(x, y, Rgb(70, 44, 24), 111), 0.8f);
    });
    c.FillRect(0, 0, 1024, 2, Rgb(160, 120, 60));
    c.FillRect(0, 48, 1024, 50, Rgb(160, 120, 60));
    // The menu corner.
    c.FillRect(976, 6, 1018, 44, Rgb(50, 30, 18));
    c.FillRect(984, 14, 1010, 18, Rgb(220, 190, 120));
    c.FillRect(984, 23, 1010, 27, Rgb(220, 190, 120));
    c.FillRect(984, 32, 1010, 36, Rgb(220, 190, 120));
    return c;
}

namespace {

// A dark band `width` wide at the left of a 1024x64 picture, clear at its edges, fading in
// over `fade` pixels at its ends.
Canvas Band(float width, float fade, float darkness) {
    Canvas c(1024, 64);
    c.FillRect(0, 0, width, 64, [=](float x, float y) {
        const float across = 1.0f - std::pow(std::fabs(y - 32.0f) / 32.0f, 2.0f);
        const float along = std::min(1.0f, std::min(x, width - x) / fade);
        return Color{0.02f, 0.02f, 0.03f, darkness * across * along};
    });
    return c;
}

} // namespace

Canvas MessageBand() {
    // The menus' messages are written across the screen.
    return Band(1024, 160, 0.8f);
}

Canvas MessageNote() {
    // The scenes' messages: a shorter band, dark enough for the letters to stand out under
    // the film look.
    return Band(576, 80, 0.95f);
}

std::vector<Picture> DrawAll() {
    // Each picture is drawn on a thread of its own.
    const std::vector<std::pair<const char*, Canvas (*)()>> list = {
        {"pics/intro/loading.png", LoadingIntro},
        {"pics/menu/title.png", Title},
        {"pics/menu/buttons.png", Buttons},
        {"pics/menu/save.png", [] { return SaveScreen(true); }},
        {"pics/menu/load.png", [] { return SaveScreen(false); }},
        {"pics/menu/options.png", OptionsScreen},
        {"pics/menu/knob.png", Knob},
        {"pics/menu/switch.png", Switch},
        {"pics/house/loading.png", LoadingHouse},
        {"pics/house/hall.png", Hall},
        {"pics/house/lamp.png", LampFlicker},
        {"pics/house/study.png", Study},
        {"pics/house/candle.png", CandleStub},
        {"pics/house/desk.png", Desk},
        {"pics/house/drawer.png", DrawerFrames},
        {"pics/house/window.png", Window},
        {"pics/house/cellar.png", Cellar},
        {"pics/house/ending.png", Ending},
        {"pics/house/photograph.png", FlashPhotograph},
        {"pics/house/beam.png", FlashBeam},
        {"pics/house/diary1.png", [] { return DiaryPage(1); }},
        {"pics/house/diary2.png", [] { return DiaryPage(2); }},
        {"pics/house/diary3.png", [] { return DiaryPage(3); }},
        {"pics/tower/page.png", LoosePage},
        {"pics/tower/glint.png", Glint},
        {"pics/tower/words.png", Words},
        {"pics/ui/progress.png", ProgressBar},
        {"pics/ui/cursor.png", CursorAtlas},
        {"pics/ui/items.png", ItemAtlas},
        {"pics/ui/books.png", BookAtlas},
        {"pics/ui/bar.png", BarBack},
        {"pics/ui/band.png", MessageBand},
        {"pics/ui/note.png", MessageNote},
    };
    std::vector<std::future<Canvas>> drawn;
    for (const auto& entry : list) {
        drawn.push_back(std::async(std::launch::async, entry.second));
    }
    std::vector<Picture> pictures;
    for (std::size_t i = 0; i < list.size(); ++i) {
        pictures.push_back({list[i].first, drawn[i].get()});
    }
    return pictures;
}

} // namespace Art
