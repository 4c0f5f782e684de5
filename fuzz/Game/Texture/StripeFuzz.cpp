// Reads arbitrary bytes as a part's "textures" element: every stripe and fragment either loads
// within its frames or ends in an exception, never in a write outside the frames.
#include "Game/TexMgr.h"

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    TexMgr manager;
    try {
        const XmlDom::Document document = XmlDom::LoadString(text);
        manager.LoadList(XmlDom::Child(XmlDom::Root(document), "textures"));
        for (const char* name : {"a", "b", "s"}) {
            const TexMgr::Stripe stripe = manager.GetStripe(name);
            if (stripe.frames.size() > TexMgr::kMaxStripeLength) {
                __builtin_trap();
            }
        }
    } catch (const std::exception&) {
        // Faulty definitions end in the definition loader's exceptions; that is the expected
        // answer to most inputs.
    }
    return 0;
}
