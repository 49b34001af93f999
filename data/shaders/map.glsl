// Vertex stage of the ground shader. Included after the version line, so it
// carries none of its own.
//
// The ground is lit by one fixed sun, high in the south-east, plus a soft
// ambient: tops take nearly full light, walls facing the sun are lighter
// than walls turned away from it, so each terrace edge reads as a step even
// where top and wall share a texture. Higher ground is drawn a shade
// brighter, which sets the levels apart seen from above and lets a ramp read
// as a climb. Tile meshes carry no vertex colours, so none are read here.
layout(location = 0) in vec3 inPosition;
layout(location = 1) in vec2 inUV;
layout(location = 2) in vec3 inNormal;

uniform mat4 MVP;
uniform vec2 UV_OFFSET;
uniform vec2 UV_SCALE;

out vec2 uv;
out float shade;

const vec3 kSunDirection = vec3(0.35, 1.0, 0.55); // toward the sun: up, east and south
const float kAmbient = 0.45;        // light every face gets
const float kDiffuse = 0.6;         // light a face gets when it looks straight at the sun
const float kLowestHeight = -1.0;   // world units: the floor of a hole
const float kHighestHeight = 3.75;  // world units: the top terrace
const float kLowShade = 0.85;       // brightness at the floor of a hole
const float kHighShade = 1.1;       // brightness on the top terrace
const float kNoData = 1e-4;         // below this a normal counts as absent

void main()
{
	uv = inUV * UV_SCALE + UV_OFFSET;

	float light = 1.0;
	if (dot(inNormal, inNormal) > kNoData)
		light = kAmbient + kDiffuse * max(dot(normalize(inNormal), normalize(kSunDirection)), 0.0);

	float height = clamp((inPosition.y - kLowestHeight) / (kHighestHeight - kLowestHeight), 0.0, 1.0);
	shade = light * mix(kLowShade, kHighShade, height);

	gl_Position = MVP * vec4(inPosition, 1.0);
}
