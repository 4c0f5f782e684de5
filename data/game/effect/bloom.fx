@effect 1
// Glow: the bright parts blurred across in the first pass, then down in the second.
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

vec3 Sample(vec2 uv, bool brightOnly) {
    vec3 c = texture(ScreenTex, uv).rgb;
    return brightOnly ? max(c - vec3(0.6), vec3(0.0)) * 2.5 : c;
}

vec4 Glow(vec2 step, bool brightOnly) {
    vec2 uv = gfx_TexelCentre(gfx_ScreenUV(vNdc), gfx_TargetSize);
    vec3 sum = Sample(uv, brightOnly) * kWeights[0];
    for (int i = 1; i < 5; ++i) {
        sum += Sample(uv + step * float(i), brightOnly) * kWeights[i];
        sum += Sample(uv - step * float(i), brightOnly) * kWeights[i];
    }
    return vec4(sum, 1.0);
}
@technique Bloom
@pass bright
@state blend=off
@vertex
vec4 VSMain() { return FullScreenVertex(); }
@fragment
vec4 PSMain() { return Glow(vec2(3.0 / gfx_TargetSize.x, 0.0), true); }
@pass down
@state blend=off
@vertex
vec4 VSMain() { return FullScreenVertex(); }
@fragment
vec4 PSMain() { return Glow(vec2(0.0, 3.0 / gfx_TargetSize.y), false); }
@end
