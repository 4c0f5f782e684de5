@effect 1
// A Gaussian blur in two passes: across, then down.
@param texture2d ScreenTex filter=linear address=clamp
@common
VARYING vec2 vNdc;

const float kWeights[5] = float[5](0.227027, 0.1945946, 0.1216216, 0.054054, 0.016216);

#ifdef VERTEX_SHADER
vec4 FullScreenVertex() {
    vNdc = gfx_Position.xy;
    return vec4(gfx_Position.xy, 1.0, 1.0);
}
#endif

vec4 Blur(vec2 step) {
    vec2 uv = gfx_TexelCentre(gfx_ScreenUV(vNdc), gfx_TargetSize);
    vec3 sum = texture(ScreenTex, uv).rgb * kWeights[0];
    for (int i = 1; i < 5; ++i) {
        sum += texture(ScreenTex, uv + step * float(i)).rgb * kWeights[i];
        sum += texture(ScreenTex, uv - step * float(i)).rgb * kWeights[i];
    }
    return vec4(sum, 1.0);
}
@technique Blur
@pass across
@state blend=off
@vertex
vec4 VSMain() { return FullScreenVertex(); }
@fragment
vec4 PSMain() { return Blur(vec2(2.0 / gfx_TargetSize.x, 0.0)); }
@pass down
@state blend=off
@vertex
vec4 VSMain() { return FullScreenVertex(); }
@fragment
vec4 PSMain() { return Blur(vec2(0.0, 2.0 / gfx_TargetSize.y)); }
@end
