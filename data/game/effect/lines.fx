@effect 1
// Vertical film scratches. Each line arrives as (x, +-1, period, phase): it shows while its
// own slow wave is high, drifts a little sideways and its brightness flickers with the noise.
@param float Time
@param texture2d NoiseTex filter=point address=wrap
@common
VARYING float vAlpha;
VARYING float vShade;
@technique Lines
@pass
@state blend=on src=srcalpha dst=invsrcalpha
@vertex
vec4 VSMain() {
    float period = gfx_Position.z;
    float phase = gfx_Position.w;
    float wave = sin(Time / period * 6.2831853 + phase);
    float flicker = texture(NoiseTex, vec2(phase * 0.1, floor(Time / 41.0) * 0.013)).r;
    vAlpha = clamp((wave - 0.6) * 2.5, 0.0, 1.0) * (0.5 + 0.5 * flicker);
    vShade = flicker > 0.5 ? 0.85 : 0.1;
    float drift = 0.01 * sin(Time / (period * 0.37) + phase * 3.0);
    return vec4(gfx_Position.x + drift, gfx_Position.y, 0.5, 1.0);
}
@fragment
vec4 PSMain() { return vec4(vec3(vShade), vAlpha * 0.6); }
@end
