// Vertex stage of the actor shader. Included after the version line, so it
// carries none of its own.
//
// Actors turn about the up axis only, so light from the sky above shades them
// the same whichever way they face: lighting happens in model space and needs
// no model matrix beside MVP. Skinned normals arrive unnormalised (the model
// reader blends joint matrices), so they are normalised here.
layout(location = 0) in vec3 inPosition;
layout(location = 1) in vec2 inUV;
layout(location = 2) in vec3 inNormal;

uniform mat4 MVP;
uniform vec2 UV_OFFSET;
uniform vec2 UV_SCALE;

out vec2 uv;
out vec3 light;

const vec3 kSkyLight = vec3(1.05, 1.0, 0.92);   // faces that look straight up: warm daylight
const vec3 kGroundLight = vec3(0.5, 0.52, 0.6); // faces that look straight down: cool bounce
const float kNoNormal = 1e-6;                   // below this squared length a normal counts as absent

void main()
{
	uv = inUV * UV_SCALE + UV_OFFSET;

	// A mesh without normals reads (0, 0, 0): draw it in plain daylight.
	light = kSkyLight;
	if (dot(inNormal, inNormal) > kNoNormal) {
		float up = normalize(inNormal).y;
		light = mix(kGroundLight, kSkyLight, 0.5 + 0.5 * up);
	}
	gl_Position = MVP * vec4(inPosition, 1.0);
}
