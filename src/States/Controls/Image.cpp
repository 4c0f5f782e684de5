#include "States/Controls/Image.h"

namespace State::Control {

template class ImageImpl<TextureHandlerSimple, PlacementScreen>;
template class ImageImpl<TextureHandlerStripe, PlacementScreen>;
template class ImageImpl<TextureHandlerSimple, PlacementPano>;
template class ImageImpl<TextureHandlerStripe, PlacementPano>;

} // namespace State::Control
