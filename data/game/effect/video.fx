@effect 1
// The current video frame over the whole screen.
@param texture2d VideoTex filter=linear address=clamp
@common
VARYING vec2 vNdc;
@technique Video
@pass
@state blend=off
@vertex
vec4 VSMain() {
    vNdc = gfx_Position.xy;
    return vec4(gfx_Position.xy, 1.0, 1.0);
}
@fragment
vec4 PSMain() { return vec4(texture(VideoTex, gfx_ScreenUV(vNdc)).rgb, 1.0); }
@end
