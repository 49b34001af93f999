#include "objects/FXParticles.h"

#include "engine/core/Camera.h"
#include "engine/core/Random.h"
#include "engine/render/Renderer.h"

#include <glm/gtc/matrix_transform.hpp>

namespace {

constexpr float kParticleLifetime = 5.0f; // seconds, until a kind sets its own
constexpr float kFullTurn = 6.2831855f;
constexpr float kSpreadRange = 1.0f;
constexpr float kSlowest = 0.5f;          // share of the speed a particle gets at least
constexpr Vec3 kWorldUp(0.0f, 1.0f, 0.0f);
constexpr Vec3 kViewAxis(0.0f, 0.0f, 1.0f);

} // namespace

FXParticles::FXParticles(uint8_t count, const char *texture, const char *shader)
	: count(count), renderMode(Renderer::kRenderModeDepthless), particles(count)
{
	lifetime = kParticleLifetime;
	const glm::vec3 corners[4] = {{-0.5f, -0.5f, 0.0f}, {0.5f, -0.5f, 0.0f}, {0.5f, 0.5f, 0.0f}, {-0.5f, 0.5f, 0.0f}};
	const glm::vec2 uvs[4] = {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}};
	const glm::vec3 normals[4] = {kViewAxis, kViewAxis, kViewAxis, kViewAxis};
	const uint32_t indices[6] = {0, 1, 3, 1, 2, 3};
	mesh.AppendPositions(corners, 4);
	mesh.AppendUVs(uvs, 4);
	mesh.AppendNormals(normals, 4);
	mesh.AppendIndices(indices, 6);
	mesh.SetMaterial(Material::Get(texture, shader != nullptr ? shader : kDefaultShader));
}

void FXParticles::Start()
{
	FXEntity::Start();
	Random &random = *GetRandom();
	for (Particle &particle : particles) {
		const float s1 = random.Spread(kSpreadRange);
		const float s2 = random.Spread(kSpreadRange);
		const float s3 = random.Spread(kSpreadRange);
		const Vec3 direction = Vec3SafeNormalize(Vec3(s3, s2, s1), kWorldUp);
		particle.angle = random.NextFloat() * kFullTurn;
		const float share = random.Range(kSlowest, 1.0f);
		particle.velocity = direction * speed * share;
		particle.spin = random.Range(-spinRange, spinRange);
	}
}

void FXParticles::OnResume()
{
	FXEntity::OnResume();
	Random &random = *GetRandom();
	for (Particle &particle : particles) {
		particle.scale = startScale;
		particle.offset = Vec3(0.0f);
		particle.angle = random.NextFloat() * kFullTurn;
	}
}

void FXParticles::Burst(const Vec3 &launchDrift, float shake, const char *sound, float volume)
{
	drift = launchDrift;
	if (shake > 0.0f) {
		Camera *camera = Camera::Get();
		if (camera != nullptr)
			camera->Shake(shake);
	}
	if (sound != nullptr)
		PlaySound(sound, volume);
}

void FXParticles::Update(float dt)
{
	FXEntity::Update(dt);
	for (Particle &particle : particles) {
		particle.offset += (particle.velocity + drift) * dt;
		particle.angle += particle.spin * dt;
		particle.scale += growth * dt;
	}
	// Back to front along z; the list is nearly sorted from the last frame,
	// so an insertion pass costs next to nothing.
	for (size_t i = 1; i < particles.size(); i++) {
		for (size_t j = i; j > 0 && particles[j].offset.z < particles[j - 1].offset.z; j--)
			std::swap(particles[j], particles[j - 1]);
	}
}

void FXParticles::Render()
{
	Camera *camera = Camera::Get();
	if (camera == nullptr || lifeState >= kLifePaused)
		return;
	Renderer *renderer3d = GetRenderer();
	if (renderer3d != nullptr)
		renderer3d->SetRenderMode(renderMode);
	const Vec3 &centre = transform.position;
	// One facing for the whole burst. LookRotation stays defined with the
	// camera straight above or on the effect itself.
	const glm::quat toCamera = LookRotation(camera->transform.position - centre, kWorldUp);
	for (const Particle &particle : particles) {
		if (centre.y + particle.offset.y < kLowestHeight)
			continue;
		const glm::quat facing = toCamera * glm::angleAxis(particle.angle, kViewAxis);
		glm::mat4 matrix = glm::translate(glm::mat4(1.0f), centre + particle.offset);
		matrix = matrix * glm::mat4_cast(facing) * glm::scale(glm::mat4(1.0f), Vec3(particle.scale));
		renderer.Draw(&mesh, matrix);
	}
}
