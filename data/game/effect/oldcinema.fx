@effect 1
// The final pass over the screen picture. "clean" changes only exposure, HDR level, cachet,
// brightness and gamma; "cinema" adds the old-film look: blurred edges, sepia, grain,
// flicker and vignetting.
@param texture2d ScreenTex filter=point address=clamp
@param texture2d BlurTex filter=linear address=clamp
@param texture2d NoiseTex filter=point address=wrap
@param texture2d CloudTex filter=linear address=wrap
@param texture2d BlurMaskTex filter=linear address=clamp
@param float Time
@param float Exposure
@param float Gamma
@param float Cachet
@param float HDR
@common
VARYING vec2 vNdc;

#ifdef VERTEX_SHADER
vec4 FullScreenVertex() {
    vNdc = gfx_Position.xy;
    return vec4(gfx_Position.xy, 1.0, 1.0);
}
#endif

vec2 ScreenUV() {
    return gfx_TexelCentre(gfx_ScreenUV(vNdc), gfx_TargetSize);
}

// Exposure -1 fades to black, +1 to white; HDR brightens; cachet darkens the corners for
// videos and cut-scenes; Gamma comes from the brightness option (1 leaves the picture alone).
vec3 Grade(vec3 c, vec2 uv) {
    c *= 1.0 + HDR;
    c = Exposure < 0.0 ? mix(c, vec3(0.0), -Exposure) : mix(c, vec3(1.0), Exposure);
    vec2 d = uv * 2.0 - 1.0;
    c *= 1.0 - Cachet * clamp(dot(d, d) * 0.5, 0.0, 1.0);
    return pow(clamp(c, 0.0, 1.0), vec3(Gamma));
}
@technique clean
@pass
@state blend=off
@vertex
vec4 VSMain() { return FullScreenVertex(); }
@fragment
vec4 PSMain() {
    vec2 uv = ScreenUV();
    return vec4(Grade(texture(ScreenTex, uv).rgb, uv), 1.0);
}
@technique cinema
@pass
@state blend=off
@vertex
vec4 VSMain() { return FullScreenVertex(); }
@fragment
vec4 PSMain() {
    vec2 uv = ScreenUV();
    float t = Time * 0.001;
    // The film weaves a little from frame to frame.
    float frame = floor(t * 24.0);
    vec2 weave = (texture(NoiseTex, vec2(frame * 0.037, 0.5)).rg - 0.5) * vec2(0.0, 0.002);
    vec2 at = uv + weave;
    vec3 sharp = texture(ScreenTex, at).rgb;
    vec3 soft = texture(BlurTex, at).rgb;
    vec3 c = mix(sharp, soft, texture(BlurMaskTex, uv).r);
    // Sepia.
    float grey = dot(c, vec3(0.299, 0.587, 0.114));
    c = mix(c, grey * vec3(1.07, 0.95, 0.78), 0.85);
    // Grain, a new pattern every film frame.
    vec2 grainAt = uv * vec2(4.0, 3.0) + vec2(frame * 0.173, frame * 0.311);
    c += (texture(NoiseTex, grainAt).r - 0.5) * 0.12;
    // Flicker from slowly drifting clouds.
    c *= 0.92 + 0.16 * texture(CloudTex, vec2(t * 0.05, t * 0.031)).r;
    // Vignetting.
    vec2 d = uv * 2.0 - 1.0;
    c *= clamp(1.0 - 0.35 * dot(d, d), 0.0, 1.0);
    return vec4(Grade(c, uv), 1.0);
}
@end
