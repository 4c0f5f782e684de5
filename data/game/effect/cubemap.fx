@effect 1
// The panorama's sky: each screen point looks up the cube map along its view ray, turned by
// the sky rotation.
@param matrix WorldViewProjectionInv
@param matrix SkyRotation
@param texturecube CubemapTex filter=linear address=clamp
@common
VARYING vec2 vNdc;
@technique Cubemap
@pass
@state blend=off
@vertex
vec4 VSMain() {
    vNdc = gfx_Position.xy;
    return vec4(gfx_Position.xy, 1.0, 1.0);
}
@fragment
vec4 PSMain() {
    vec4 far = WorldViewProjectionInv * vec4(vNdc, 1.0, 1.0);
    vec4 near = WorldViewProjectionInv * vec4(vNdc, 0.0, 1.0);
    vec3 ray = far.xyz / far.w - near.xyz / near.w;
    vec3 direction = (SkyRotation * vec4(ray, 0.0)).xyz;
    return vec4(texture(CubemapTex, direction).rgb, 1.0);
}
@end
