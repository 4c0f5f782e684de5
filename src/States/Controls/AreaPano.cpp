#include "States/Controls/AreaPano.h"

#include "Game/Opts.h"
#include "Include/cg/Direction.h"
#include "States/Controls/PositionFormat.h"

#include <boost/algorithm/string/classification.hpp>
#include <boost/algorithm/string/split.hpp>
#include <boost/algorithm/string/trim.hpp>

namespace State::Control {

void AreaPano::Load(const XmlDom::Element& element) {
    std::vector<std::string> pieces;
    boost::split(pieces, XmlDom::RequiredAttr(element, "pos"), boost::is_any_of(","));
    const std::size_t n = pieces.size();
    // Odd counts are kept, without vertices: shipped definitions may hold such zones.
    if (n % 2 == 0) {
        std::vector<float> v;
        v.reserve(n);
        for (std::string& piece : pieces) {
            boost::trim(piece);
            v.push_back(ParseAngle(piece));
        }
        if (n == 4) {
            region_ = {{v[0], v[1]}, {v[0], v[3]}, {v[2], v[3]}, {v[2], v[1]}};
        } else {
            for (std::size_t i = 0; i < n; i += 2) {
                region_.push_back({v[i], v[i + 1]});
            }
        }
    }
    LoadScript(element);
}

void AreaPano::RenderOn(Gfx::Device& device) {
    if (!opts().area_ || region_.size() < 3) {
        return;
    }
    if (cache_.empty()) {
        for (const cg::cp<float>& vertex : region_) {
            const auto d = cg::CpToDirection(vertex);
            cache_.push_back({d.x, d.y, d.z, kAreaColour});
        }
    }
    DrawAreaShape(device, Gfx::Primitive::TriangleFan, unsigned(region_.size() - 2), cache_,
                  ".\\States\\Controls\\AreaPano",
                  "dx().device()->DrawPrimitiveUP( D3DPT_TRIANGLEFAN, rgn_.size() - 2, & "
                  "cache_[0], sizeof(VERTEX) )");
}

} // namespace State::Control
