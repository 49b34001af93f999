// Vertex stage of the sprite shader. Included after the version line, so it
// carries none of its own.
//
// Every sprite draws the same unit quad; which part of its texture shows is
// decided here from the material's UV_OFFSET and UV_SCALE, which the sprite
// writes just before it draws. That is how a sheet of cells and a whole
// picture share one mesh.
layout(location = 0) in vec3 inPosition;
layout(location = 1) in vec2 inUV;

uniform mat4 MVP;
uniform vec2 UV_OFFSET;
uniform vec2 UV_SCALE;

out vec2 uv;

void main()
{
	uv = inUV * UV_SCALE + UV_OFFSET;
	gl_Position = MVP * vec4(inPosition, 1.0);
}
