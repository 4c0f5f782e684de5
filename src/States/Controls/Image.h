#pragma once

#include "States/Controls/ImageImpl.h"
#include "States/Controls/PlacementPano.h"
#include "States/Controls/PlacementScreen.h"
#include "States/Controls/TextureHandlerSimple.h"
#include "States/Controls/TextureHandlerStripe.h"

namespace State::Control {

// "image" on a screen, menu, page or loading screen, and a panorama's "sprite".
using Image = ImageImpl<TextureHandlerSimple, PlacementScreen>;
// "imagemapped" on a screen, menu, page or loading screen.
using ImageMapped = ImageImpl<TextureHandlerStripe, PlacementScreen>;
// "image" and "imagemapped" on a side of a panorama.
using ImagePano = ImageImpl<TextureHandlerSimple, PlacementPano>;
using ImageMappedPano = ImageImpl<TextureHandlerStripe, PlacementPano>;

extern template class ImageImpl<TextureHandlerSimple, PlacementScreen>;
extern template class ImageImpl<TextureHandlerStripe, PlacementScreen>;
extern template class ImageImpl<TextureHandlerSimple, PlacementPano>;
extern template class ImageImpl<TextureHandlerStripe, PlacementPano>;

} // namespace State::Control
