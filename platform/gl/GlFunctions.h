#pragma once
// The OpenGL entry points the GPU layer uses, loaded at run time from whichever context is
// current (an SDL window context or the EGL surfaceless one), so nothing links against a
// particular GL library. Internal to platform/gl.
#include <GL/glcorearb.h>

#include <string>

namespace vx::gl {

#define VX_GL_FUNCTIONS(X)                                                 \
  X(PFNGLGETERRORPROC, GetError, "glGetError")                             \
  X(PFNGLGETSTRINGPROC, GetString, "glGetString")                          \
  X(PFNGLGETINTEGERVPROC, GetIntegerv, "glGetIntegerv")                    \
  X(PFNGLVIEWPORTPROC, Viewport, "glViewport")                             \
  X(PFNGLSCISSORPROC, Scissor, "glScissor")                                \
  X(PFNGLENABLEPROC, Enable, "glEnable")                                   \
  X(PFNGLDISABLEPROC, Disable, "glDisable")                                \
  X(PFNGLBLENDFUNCPROC, BlendFunc, "glBlendFunc")                          \
  X(PFNGLCLEARCOLORPROC, ClearColor, "glClearColor")                       \
  X(PFNGLCLEARPROC, Clear, "glClear")                                      \
  X(PFNGLGENTEXTURESPROC, GenTextures, "glGenTextures")                    \
  X(PFNGLDELETETEXTURESPROC, DeleteTextures, "glDeleteTextures")           \
  X(PFNGLBINDTEXTUREPROC, BindTexture, "glBindTexture")                    \
  X(PFNGLTEXIMAGE2DPROC, TexImage2D, "glTexImage2D")                       \
  X(PFNGLTEXSUBIMAGE2DPROC, TexSubImage2D, "glTexSubImage2D")              \
  X(PFNGLTEXIMAGE3DPROC, TexImage3D, "glTexImage3D")                       \
  X(PFNGLTEXSUBIMAGE3DPROC, TexSubImage3D, "glTexSubImage3D")              \
  X(PFNGLCOPYTEXSUBIMAGE3DPROC, CopyTexSubImage3D, "glCopyTexSubImage3D")  \
  X(PFNGLTEXPARAMETERIPROC, TexParameteri, "glTexParameteri")              \
  X(PFNGLPIXELSTOREIPROC, PixelStorei, "glPixelStorei")                    \
  X(PFNGLACTIVETEXTUREPROC, ActiveTexture, "glActiveTexture")              \
  X(PFNGLREADPIXELSPROC, ReadPixels, "glReadPixels")                       \
  X(PFNGLREADBUFFERPROC, ReadBuffer, "glReadBuffer")                       \
  X(PFNGLDRAWARRAYSPROC, DrawArrays, "glDrawArrays")                       \
  X(PFNGLGENBUFFERSPROC, GenBuffers, "glGenBuffers")                       \
  X(PFNGLDELETEBUFFERSPROC, DeleteBuffers, "glDeleteBuffers")              \
  X(PFNGLBINDBUFFERPROC, BindBuffer, "glBindBuffer")                       \
  X(PFNGLBUFFERDATAPROC, BufferData, "glBufferData")                       \
  X(PFNGLBUFFERSUBDATAPROC, BufferSubData, "glBufferSubData")              \
  X(PFNGLGENVERTEXARRAYSPROC, GenVertexArrays, "glGenVertexArrays")        \
  X(PFNGLDELETEVERTEXARRAYSPROC, DeleteVertexArrays, "glDeleteVertexArrays") \
  X(PFNGLBINDVERTEXARRAYPROC, BindVertexArray, "glBindVertexArray")        \
  X(PFNGLVERTEXATTRIBPOINTERPROC, VertexAttribPointer, "glVertexAttribPointer") \
  X(PFNGLENABLEVERTEXATTRIBARRAYPROC, EnableVertexAttribArray, "glEnableVertexAttribArray") \
  X(PFNGLCREATESHADERPROC, CreateShader, "glCreateShader")                 \
  X(PFNGLSHADERSOURCEPROC, ShaderSource, "glShaderSource")                 \
  X(PFNGLCOMPILESHADERPROC, CompileShader, "glCompileShader")              \
  X(PFNGLGETSHADERIVPROC, GetShaderiv, "glGetShaderiv")                    \
  X(PFNGLGETSHADERINFOLOGPROC, GetShaderInfoLog, "glGetShaderInfoLog")     \
  X(PFNGLDELETESHADERPROC, DeleteShader, "glDeleteShader")                 \
  X(PFNGLCREATEPROGRAMPROC, CreateProgram, "glCreateProgram")              \
  X(PFNGLATTACHSHADERPROC, AttachShader, "glAttachShader")                 \
  X(PFNGLBINDATTRIBLOCATIONPROC, BindAttribLocation, "glBindAttribLocation") \
  X(PFNGLLINKPROGRAMPROC, LinkProgram, "glLinkProgram")                    \
  X(PFNGLGETPROGRAMIVPROC, GetProgramiv, "glGetProgramiv")                 \
  X(PFNGLGETPROGRAMINFOLOGPROC, GetProgramInfoLog, "glGetProgramInfoLog")  \
  X(PFNGLDELETEPROGRAMPROC, DeleteProgram, "glDeleteProgram")              \
  X(PFNGLUSEPROGRAMPROC, UseProgram, "glUseProgram")                       \
  X(PFNGLGETUNIFORMLOCATIONPROC, GetUniformLocation, "glGetUniformLocation") \
  X(PFNGLUNIFORM1IPROC, Uniform1i, "glUniform1i")                          \
  X(PFNGLUNIFORM2FPROC, Uniform2f, "glUniform2f")                          \
  X(PFNGLGENFRAMEBUFFERSPROC, GenFramebuffers, "glGenFramebuffers")        \
  X(PFNGLDELETEFRAMEBUFFERSPROC, DeleteFramebuffers, "glDeleteFramebuffers") \
  X(PFNGLBINDFRAMEBUFFERPROC, BindFramebuffer, "glBindFramebuffer")        \
  X(PFNGLFRAMEBUFFERTEXTURE2DPROC, FramebufferTexture2D, "glFramebufferTexture2D") \
  X(PFNGLFRAMEBUFFERTEXTURELAYERPROC, FramebufferTextureLayer, "glFramebufferTextureLayer") \
  X(PFNGLCHECKFRAMEBUFFERSTATUSPROC, CheckFramebufferStatus, "glCheckFramebufferStatus") \
  X(PFNGLBLITFRAMEBUFFERPROC, BlitFramebuffer, "glBlitFramebuffer")        \
  X(PFNGLGENSAMPLERSPROC, GenSamplers, "glGenSamplers")                    \
  X(PFNGLDELETESAMPLERSPROC, DeleteSamplers, "glDeleteSamplers")           \
  X(PFNGLBINDSAMPLERPROC, BindSampler, "glBindSampler")                    \
  X(PFNGLSAMPLERPARAMETERIPROC, SamplerParameteri, "glSamplerParameteri")  \
  X(PFNGLFLUSHPROC, Flush, "glFlush")                                      \
  X(PFNGLFINISHPROC, Finish, "glFinish")

using ProcLoader = void* (*)(const char* name);

struct Functions {
#define VX_GL_DECLARE(type, name, symbol) type name = nullptr;
  VX_GL_FUNCTIONS(VX_GL_DECLARE)
#undef VX_GL_DECLARE

  // Loads every entry point; false (with the first missing name) when one is absent.
  bool Load(ProcLoader loader, std::string& missing);
};

}  // namespace vx::gl
