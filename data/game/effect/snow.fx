@effect 1
// Falling snow. Each particle arrives four times as (x, y, z, w) in [-1,1] x [0,1] x [-1,1] x
// [0,1], the corner of its quad in the normal: it falls through a box around the viewer at its
// own speed, sways, and is drawn as a small soft flake.
@param matrix WorldViewProjection
@param float Time
@param texture2d SnowTex filter=linear address=clamp
@common
VARYING vec2 vCorner;
@technique Snow
@pass
@state blend=on src=srcalpha dst=invsrcalpha
@vertex
vec4 VSMain() {
    float t = Time * 0.001;
    float speed = 0.05 + 0.1 * gfx_Position.w;
    float height = fract(gfx_Position.y - t * speed) * 2.0 - 1.0;
    float sway = 0.03 * sin(t * (1.0 + gfx_Position.w) + gfx_Position.w * 40.0);
    vec4 centre = WorldViewProjection * vec4(gfx_Position.x * 4.0 + sway, height * 2.0,
                                             gfx_Position.z * 4.0, 1.0);
    vCorner = gfx_Normal.xy;
    vec2 size = vec2(0.02, 0.02 * gfx_TargetSize.x / gfx_TargetSize.y) * centre.w;
    return centre + vec4((gfx_Normal.xy - 0.5) * size, 0.0, 0.0);
}
@fragment
vec4 PSMain() { return texture(SnowTex, vCorner); }
@end
