// What every post-processing mode shares: the layers and values the renderer
// hands over, the colour grade and overlay dimming of the scene, the
// directional fade, and laying the interface over the result. The interface
// is never graded or faded, so menus and full-screen messages stay readable
// over a darkened or blacked-out world.
in vec2 uv;

uniform sampler2D SAMPLER;    // scene layer
uniform sampler2D SAMPLER_UI; // interface layer, alpha 0 where nothing was drawn
uniform sampler2D DEPTH;      // scene depth, 0 near to 1 far
uniform vec2 RESOLUTION;      // the mode's own pixel size, else the window's
uniform vec2 WINDOW;          // window size in pixels
uniform int MODE;             // overlay: 1 dims the scene behind menus and screens
uniform float TIME;           // seconds since start
uniform float FADE_ANGLE;     // radians: 0 up, pi/2 right, pi down
uniform float FADE_AMOUNT;    // 0 clear to 1 fully black
uniform float CONTRAST;       // 1 leaves the scene as drawn
uniform float SATURATION;     // 1 leaves the scene as drawn, 0 grey

out vec4 fragColor;

const vec3 kLuma = vec3(0.299, 0.587, 0.114);
const float kOverlayBrightness = 0.35; // what is left of the scene behind a menu
const float kOverlaySaturation = 0.4;
const float kFadeSoftness = 0.2; // share of the screen across which the fade edge blurs

vec3 GradeScene(vec3 color)
{
	color = (color - 0.5) * CONTRAST + 0.5;
	color = mix(vec3(dot(color, kLuma)), color, SATURATION);
	if (MODE == 1)
		color = mix(vec3(dot(color, kLuma)), color, kOverlaySaturation) * kOverlayBrightness;
	return clamp(color, 0.0, 1.0);
}

// 1 where the scene shows, 0 where the fade has blacked it out. The black
// comes in from the screen edge that FADE_ANGLE points at and sweeps across
// to the opposite edge as FADE_AMOUNT goes from 0 to 1.
float FadeShade(vec2 at)
{
	vec2 direction = vec2(sin(FADE_ANGLE), cos(FADE_ANGLE));
	float reach = 0.5 * (abs(direction.x) + abs(direction.y));
	float along = dot(at - 0.5, direction) / max(reach, 0.0001);
	float fromEdge = (1.0 - along) * 0.5;
	float covered = clamp((FADE_AMOUNT * (1.0 + kFadeSoftness) - fromEdge) / kFadeSoftness, 0.0, 1.0);
	return 1.0 - covered;
}

vec3 WithInterface(vec3 scene, vec2 at)
{
	vec4 ui = texture(SAMPLER_UI, at);
	return mix(scene, ui.rgb, clamp(ui.a, 0.0, 1.0));
}

// The plain look: graded, faded scene under the interface.
vec3 ComposePlain(vec2 at)
{
	vec3 scene = GradeScene(texture(SAMPLER, at).rgb) * FadeShade(at);
	return WithInterface(scene, at);
}
