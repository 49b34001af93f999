// The vertex stage of every post-processing mode: the renderer's full-window
// quad comes in clip space already, so it passes straight through.
layout(location = 0) in vec3 inPosition;
layout(location = 1) in vec2 inUV;

out vec2 uv;

void main()
{
	uv = inUV;
	gl_Position = vec4(inPosition, 1.0);
}
