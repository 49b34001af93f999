// Vertex stage of the text shader. Included after the version line, so it
// carries none of its own.
//
// WAVINESS lifts and lowers the glyphs along a travelling sine, so that a
// line of text ripples; 0 leaves the text still. It is measured in the text's
// own units (interface pixels for interface text).
layout(location = 0) in vec3 inPosition;
layout(location = 1) in vec2 inUV;
layout(location = 3) in vec3 inColor;

uniform mat4 MVP;
uniform float TIME;
uniform float WAVINESS;

out vec2 uv;
out vec3 glyphColor;

const float kWaveSpeed = 6.0;   // radians per second
const float kWaveNumber = 0.12; // radians per unit along the line

void main()
{
	uv = inUV;
	glyphColor = inColor;
	vec3 position = inPosition;
	position.y += WAVINESS * sin(TIME * kWaveSpeed + inPosition.x * kWaveNumber);
	gl_Position = MVP * vec4(position, 1.0);
}
