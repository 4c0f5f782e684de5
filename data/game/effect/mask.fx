@effect 1
// Lays the mask picture (frame opaque, window transparent) over the screen; the picture sits
// in the top 768 rows of its 1024x1024 texture. Blending follows the device's state.
@param texture2d MaskTex filter=linear address=clamp
@common
VARYING vec2 vNdc;
@technique Mask
@pass
@vertex
vec4 VSMain() {
    vNdc = gfx_Position.xy;
    return vec4(gfx_Position.xy, 1.0, 1.0);
}
@fragment
vec4 PSMain() {
    vec2 uv = gfx_ScreenUV(vNdc);
    return texture(MaskTex, vec2(uv.x, uv.y * 0.75));
}
@end
