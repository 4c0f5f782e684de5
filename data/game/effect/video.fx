@effect 1
// The current video frame over the whole screen. The decoder stores each texel's video
// levels as red = V (Cr), green = U (Cb), blue = Y; they become colours here (studio-range
// BT.601, as Theora films are coded).
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
vec4 PSMain() {
    vec3 vuy = texture(VideoTex, gfx_ScreenUV(vNdc)).rgb;
    float y = 1.164383 * (vuy.b - 16.0 / 255.0);
    float cb = vuy.g - 0.5;
    float cr = vuy.r - 0.5;
    vec3 rgb = vec3(y + 1.596027 * cr, y - 0.391762 * cb - 0.812968 * cr, y + 2.017232 * cb);
    return vec4(clamp(rgb, 0.0, 1.0), 1.0);
}
@end
