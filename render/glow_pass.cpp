#include "render/glow_pass.h"

#include "render/material_programs.h"

void renderGlow(PostProcessing& post, MaterialPrograms& programs, const SubmeshClasses& classes) {
    if (!post.beginGlow()) return;
    programs.drawSubmeshes(classes.glowOpaque);
    programs.drawSubmeshesBlack(classes.plainOpaque);
    programs.drawSubmeshes(classes.glowTransparent);
    const IGreetingSprite* greeting = post.greeting();
    if (greeting && greeting->greetingActive() && post.screenQuad())
        greeting->drawGreeting(*post.screenQuad(), programs.uniforms.viewProjection);
    programs.drawSubmeshesBlack(classes.plainTransparent);
    post.blurGlow();
}
