// Vertex stage shared by the standard and solid-colour materials. Included
// after the version line, so it carries none of its own.
//
// Lighting happens in model space with the light straight above: models turn
// about the up axis, so a top light shades them the same whichever way they
// face, and no model matrix is needed beside MVP.
layout(location = 0) in vec3 inPosition;
layout(location = 1) in vec2 inUV;
layout(location = 2) in vec3 inNormal;
layout(location = 3) in vec3 inColor;

uniform mat4 MVP;
uniform vec2 UV_OFFSET;
uniform vec2 UV_SCALE;

out vec2 uv;
out vec3 tint;

const float kShadeTop = 1.0;     // brightness of faces that look straight up
const float kShadeBottom = 0.6;  // brightness of faces that look straight down
const float kNoData = 1e-4;      // below this a normal or colour counts as absent

void main()
{
	uv = inUV * UV_SCALE + UV_OFFSET;

	// A mesh without a normal array reads (0, 0, 0): draw it unshaded.
	float shade = 1.0;
	if (dot(inNormal, inNormal) > kNoData)
		shade = mix(kShadeBottom, kShadeTop, 0.5 + 0.5 * normalize(inNormal).y);

	// A mesh without a colour array reads black; multiplying by it would hide
	// the mesh, so black stands for "no vertex colour" and leaves the texel.
	vec3 vertexColor = inColor;
	if (dot(inColor, vec3(1.0)) < kNoData)
		vertexColor = vec3(1.0);

	tint = vertexColor * shade;
	gl_Position = MVP * vec4(inPosition, 1.0);
}
