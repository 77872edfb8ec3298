#include "effect.h"

namespace media {

std::string makeEffect() {
  return R"(// Plenkwise screen effect: a soft bloom over the picture held in the
// screen render target. GLSL; the renderer puts "#version 330 core" and one
// of VERTEX_SHADER or FRAGMENT_SHADER in front of this text.
//
// The renderer requires these three uniforms:
//   RenderTargetTexture  the screen target (sampler2D)
//   RenderTargetWidth    its width in pixels (float)
//   RenderTargetHeight   its height in pixels (float)

#ifdef VERTEX_SHADER
layout(location = 0) in vec2 corner;  // a full-screen quad, -1..1
out vec2 screenUv;

void main() {
  screenUv = corner * 0.5 + 0.5;
  gl_Position = vec4(corner, 0.0, 1.0);
}
#endif

#ifdef FRAGMENT_SHADER
uniform sampler2D RenderTargetTexture;
uniform float RenderTargetWidth;
uniform float RenderTargetHeight;

in vec2 screenUv;
out vec4 fragColour;

const float bloomStrength = 0.35;

void main() {
  vec2 texel = vec2(1.0 / RenderTargetWidth, 1.0 / RenderTargetHeight);
  vec4 picture = texture(RenderTargetTexture, screenUv);
  // Light above the threshold spreads into its neighbours.
  vec3 glow = vec3(0.0);
  for (int y = -2; y <= 2; ++y) {
    for (int x = -2; x <= 2; ++x) {
      vec3 c = texture(RenderTargetTexture, screenUv + vec2(x, y) * texel * 2.0).rgb;
      glow += max(c - vec3(0.7), vec3(0.0));
    }
  }
  fragColour = vec4(picture.rgb + glow * (bloomStrength / 25.0), picture.a);
}
#endif
)";
}

}  // namespace media
