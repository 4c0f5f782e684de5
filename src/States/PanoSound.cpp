#include "States/PanoSound.h"

#include "Include/common/Text.h"
#include "Include/common/XmlSer.h"

#include <algorithm>

namespace State {

std::pair<std::string, PanoSound> PanoSound::Read(const XmlDom::Element& element) {
    std::string src = XmlDom::RequiredAttr(element, "src");
    PanoSound sound;
    sound.pitch_ = xs::text::ParseFloat(XmlDom::RequiredAttr(element, "pitch"));
    sound.course_ = xs::text::ParseFloat(XmlDom::RequiredAttr(element, "course"));
    sound.max_ = std::clamp(xs::text::ParseFloat(XmlDom::Attr(element, "max", "1.0")), 0.0f, 1.0f);
    sound.min_ = std::clamp(xs::text::ParseFloat(XmlDom::Attr(element, "min", "0.1")), 0.0f, 1.0f);
    sound.on_ = XmlDom::Attr(element, "on", "yes") == "yes";
    return {std::move(src), sound};
}

void PanoSound::SaveXml(xs::OArchive& archive) {
    archive& xs::nvp("on", on_);
}

void PanoSound::LoadXml(xs::IArchive& archive) {
    archive& xs::nvp("on", on_);
}

} // namespace State
