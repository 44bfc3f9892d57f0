--x-b
Content-Type: audio/amr
Content-ID: <tune@example>
Content-Transfer-Encoding: base64

IyFBTVIKAAECAwQFBgcICQoLDA0ODxAREhMUFRYXGBkaGxwdHh8gISIjJCUmJygpKissLS4vMDEy
MzQ1Njc4OTo7

--x-b--
