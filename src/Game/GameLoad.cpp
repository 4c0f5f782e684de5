// Loading the game definition "korvantine.xml".

#include "FileSystem/Locator.h"
#include "Game/Exception.h"
#include "Game/Game.h"
#include "Game/Where.h"

#include <boost/lexical_cast.hpp>
#include <cstdint>
#include <vector>

namespace {

// The whole attribute text as a number; anything else throws boost::bad_lexical_cast.
float IdleValue(const XmlDom::Element& idle, const char* name) {
    return boost::lexical_cast<float>(XmlDom::RequiredAttr(idle, name));
}

} // namespace

void Game::Load() {
    std::vector<std::uint8_t> bytes;
    if (!Locator::Instance().ReadAll("korvantine.xml", bytes)) {
        throw exception("Cannot load 'korvantine.xml'");
    }
    // An error while reading is logged with what was being read (Where).
    Where::Reading([&] {
        const XmlDom::Document document =
            XmlDom::LoadString(std::string(bytes.begin(), bytes.end()));
        const XmlDom::Element root = XmlDom::Root(document);
        LoadIdle(XmlDom::Child(root, "settings"));
        cursor_.Load(XmlDom::Child(root, "cursor"));
        // Before the script API, whose globals bind the cursor and the inventory.
        inventory_.Load(root);
        RegisterApi();
        map_.Load(XmlDom::Child(root, "map"));
    });
}

void Game::LoadIdle(const XmlDom::Element& settings) {
    const XmlDom::Element idle = XmlDom::Child(settings, "idle");
    idle_.period_x = IdleValue(idle, "period_x");
    idle_.period_y = IdleValue(idle, "period_y");
    idle_.ampl_x = IdleValue(idle, "ampl_x");
    idle_.ampl_y = IdleValue(idle, "ampl_y");
    idle_.delay = IdleValue(idle, "delay");
}
