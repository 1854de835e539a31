#!/usr/bin/env bash
# Builds the third-party libraries for x86_64-w64-mingw32 from Debian's source
# packages into a cached prefix outside the repository. Prints the prefix.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

HOST=x86_64-w64-mingw32
PACKAGES=(zlib libjpeg-turbo lame libogg libvorbis libgsm ffmpeg)
CACHE_ROOT=${KORVANE_DEPS_CACHE:-$HOME/.cache/korvane-mingw-deps}
JOBS=${JOBS:-$(nproc)}
mkdir -p "$CACHE_ROOT"

# Private APT configuration: one bookworm deb-src entry, no change to /etc/apt.
APTDIR=$CACHE_ROOT/apt
mkdir -p "$APTDIR/lists/partial" "$APTDIR/cache/archives/partial" "$APTDIR/etc/preferences.d" "$APTDIR/etc/sources.list.d"
cat > "$APTDIR/etc/sources.list" <<SRC
deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm main
SRC
APT_OPTS=(-o "Dir::Etc::sourcelist=$APTDIR/etc/sources.list" -o "Dir::Etc::sourceparts=$APTDIR/etc/sources.list.d"
  -o "Dir::Etc::preferencesparts=$APTDIR/etc/preferences.d"
  -o "Dir::State::Lists=$APTDIR/lists" -o "Dir::Cache=$APTDIR/cache" -o "APT::Sandbox::User=root"
  -o "Acquire::Languages=none")

# The source versions go into the cache key; the index is refreshed at most once a day.
if [ -z "$(find "$APTDIR/lists" -maxdepth 1 -name '*Sources*' -mtime -1 2>/dev/null | head -1)" ]; then
  step "refresh source index" "$CACHE_ROOT/apt-update.log" apt-get "${APT_OPTS[@]}" update
fi
versions=""
for p in "${PACKAGES[@]}"; do
  v=$(apt-cache "${APT_OPTS[@]}" showsrc "$p" 2>/dev/null | awk '/^Version:/{print $2}' | sort -V | tail -1)
  [ -n "$v" ] || fail "find source package $p" "$CACHE_ROOT/apt-update.log"
  versions+="$p=$v "
done
key=$( { cat "$here/deps.sh" "$here/lib.sh"; $HOST-g++-posix --version | head -1; echo "$versions"; } | sha256sum | cut -c1-16)
PREFIX=$CACHE_ROOT/$key
if [ -f "$PREFIX/.stamp" ]; then
  echo "$PREFIX"
  exit 0
fi

exec 9>"$CACHE_ROOT/.lock"
flock 9
if [ -f "$PREFIX/.stamp" ]; then echo "$PREFIX"; exit 0; fi

WORK=$CACHE_ROOT/work-$key
LOGS=$CACHE_ROOT/logs-$key
rm -rf "$WORK" "$PREFIX"
mkdir -p "$WORK" "$LOGS" "$PREFIX"/{lib,include,lib/pkgconfig}
note "building third-party libraries into $PREFIX (logs in $LOGS)"

fetch() { # package -> unpacked source directory
  local p=$1
  mkdir -p "$WORK/src-$p"
  (cd "$WORK/src-$p" && apt-get "${APT_OPTS[@]}" source --download-only "$p" >"$LOGS/fetch-$p.log" 2>&1 &&
    dpkg-source --no-check -x ./*.dsc unpacked >>"$LOGS/fetch-$p.log" 2>&1) || fail "fetch source of $p" "$LOGS/fetch-$p.log"
  echo "$WORK/src-$p/unpacked"
}

export PKG_CONFIG_LIBDIR=$PREFIX/lib/pkgconfig
export PKG_CONFIG_PATH=
export CC=$HOST-gcc-posix CXX=$HOST-g++-posix AR=$HOST-ar RANLIB=$HOST-ranlib STRIP=$HOST-strip
export CFLAGS="-O2" CPPFLAGS="-I$PREFIX/include" LDFLAGS="-L$PREFIX/lib"
AC=(--host=$HOST --prefix="$PREFIX" --enable-static --disable-shared)

s=$(fetch zlib)
(cd "$s" && CHOST=$HOST ./configure --prefix="$PREFIX" --static && make -j"$JOBS" libz.a && make install) \
  >"$LOGS/zlib.log" 2>&1 || fail "build zlib" "$LOGS/zlib.log"

s=$(fetch libjpeg-turbo)
mkdir -p "$WORK/jpeg-build"
(cd "$WORK/jpeg-build" && cmake -G Ninja "$s" -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR=AMD64 \
  -DCMAKE_C_COMPILER=$CC -DCMAKE_RC_COMPILER=$HOST-windres -DCMAKE_INSTALL_PREFIX="$PREFIX" \
  -DCMAKE_BUILD_TYPE=Release -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=ON -DWITH_JAVA=OFF \
  -DCMAKE_ASM_NASM_COMPILER=nasm -DCMAKE_POLICY_DEFAULT_CMP0091=NEW && ninja && ninja install) \
  >"$LOGS/libjpeg-turbo.log" 2>&1 || fail "build libjpeg-turbo" "$LOGS/libjpeg-turbo.log"

s=$(fetch lame)
(cd "$s" && ./configure "${AC[@]}" --disable-frontend --disable-decoder --disable-gtktest && make -j"$JOBS" && make install) \
  >"$LOGS/lame.log" 2>&1 || fail "build lame" "$LOGS/lame.log"

s=$(fetch libogg)
(cd "$s" && ./configure "${AC[@]}" && make -j"$JOBS" && make install) \
  >"$LOGS/libogg.log" 2>&1 || fail "build libogg" "$LOGS/libogg.log"

s=$(fetch libvorbis)
(cd "$s" && ./configure "${AC[@]}" --disable-docs --disable-examples --disable-oggtest && make -j"$JOBS" && make install) \
  >"$LOGS/libvorbis.log" 2>&1 || fail "build libvorbis" "$LOGS/libvorbis.log"

s=$(fetch libgsm)
(cd "$s" && make -j"$JOBS" lib/libgsm.a CC="$CC -ansi -pedantic -O2 -DNeedFunctionPrototypes=1 -DSASR -DWAV49" AR="$AR" RANLIB="$RANLIB" &&
  mkdir -p "$PREFIX/include/gsm" && cp inc/gsm.h "$PREFIX/include/gsm/gsm.h" && cp lib/libgsm.a "$PREFIX/lib/") \
  >"$LOGS/libgsm.log" 2>&1 || fail "build libgsm" "$LOGS/libgsm.log"

s=$(fetch ffmpeg)
DECODERS="pcm_s8,pcm_u8,pcm_s16le,pcm_s16be,pcm_u16le,pcm_u16be,pcm_s24le,pcm_s24be,pcm_s32le,pcm_s32be,pcm_f32le,pcm_f32be,pcm_f64le,pcm_f64be,pcm_alaw,pcm_mulaw,pcm_s8_planar,pcm_s16be_planar,pcm_s16le_planar,pcm_s24le_planar,pcm_s32le_planar,pcm_u24le,pcm_u24be,pcm_u32le,pcm_u32be,pcm_s24daud,pcm_dvd,pcm_bluray,pcm_lxf,pcm_vidc,pcm_sga,adpcm_ms,adpcm_ima_wav,adpcm_ima_qt,adpcm_ima_oki,adpcm_g722,adpcm_g726,adpcm_g726le,adpcm_ima_dk3,adpcm_ima_dk4,adpcm_yamaha,adpcm_swf,adpcm_ct,adpcm_sbpro_2,adpcm_sbpro_3,adpcm_sbpro_4,adpcm_ima_ws,adpcm_ima_amv,adpcm_ima_smjpeg,adpcm_thp,adpcm_thp_le,adpcm_dtk,adpcm_4xm,adpcm_adx,adpcm_ea,adpcm_xa,adpcm_afc,gsm,gsm_ms,g723_1,g729,mp1,mp1float,mp2,mp2float,mp3,mp3float,mp3adu,mp3adufloat,mp3on4,mp3on4float,vorbis,opus,flac,wmav1,wmav2,wmavoice,wmapro,wmalossless,mace3,mace6,qdm2,qdmc,alac,aac,ac3,eac3,dca,truespeech,ra_144,ra_288,cook,nellymoser,sipr,atrac3,imc,dsicinaudio,interplay_dpcm,roq_dpcm,sol_dpcm,xan_dpcm,musepack7,musepack8,speex,amrnb,amrwb,tta,wavpack,ape,shorten,dsd_lsbf,dsd_msbf,pcm_zork,sdx2_dpcm,derf_dpcm,ilbc,dolby_e,hcom,acelp_kelvin,siren,msnsiren,bonk,misc4,adpcm_ima_apc,adpcm_ima_rad,adpcm_ima_ssi,adpcm_ima_alp,adpcm_ima_cunning,adpcm_ima_moflex,adpcm_ima_acorn,adpcm_mtaf,adpcm_psx,adpcm_agm,adpcm_aica,adpcm_argo,adpcm_zork,adpcm_ima_ea_eacs,adpcm_ima_ea_sead,adpcm_ima_iss,adpcm_ima_mtf,adpcm_ima_smjpeg,adpcm_ima_apm,adpcm_ima_dat4,adpcm_ima_dk3,adpcm_ea_r1,adpcm_ea_r2,adpcm_ea_r3,adpcm_ea_xas,adpcm_ea_maxis_xa,adpcm_ms,adpcm_vima,mlp,truehd,png"
DEMUXERS="wav,w64,mp3,mpegps,mpegts,mpegvideo,ogg,avi,asf,au,aiff,mpc,mpc8,g722,g723_1,g726,g726le,g729,gsm,pcm_s8,pcm_u8,pcm_s16le,pcm_s16be,pcm_u16le,pcm_u16be,pcm_s24le,pcm_s24be,pcm_s32le,pcm_s32be,pcm_f32le,pcm_f32be,pcm_f64le,pcm_f64be,pcm_alaw,pcm_mulaw,flac,aac,ac3,eac3,dts,mov,matroska,voc,caf,rso,sox,xwma,vag,sln,ircam,nistsphere,smjpeg,amr,truehd,mlp,wv,ape,tta,shorten,dsf,iff,rm,mp3,adp,str,ast,genh,ss2,xvag,sdx,mtaf"
ENCODERS="libmp3lame,libvorbis,wmav1,wmav2,mp2,mp2fixed,pcm_s8,pcm_u8,pcm_s16le,pcm_s16be,pcm_s24le,pcm_s32le,pcm_f32le,pcm_alaw,pcm_mulaw,adpcm_ms,adpcm_ima_wav,adpcm_ima_qt,adpcm_g726,adpcm_g726le,adpcm_g722,adpcm_yamaha,adpcm_swf,g723_1,libgsm,libgsm_ms,flac,png"
MUXERS="wav,w64,mp3,mp2,ogg,asf,asf_stream,au,aiff,g722,g723_1,g726,g726le,gsm,pcm_s8,pcm_u8,pcm_s16le,pcm_s16be,pcm_s24le,pcm_s32le,pcm_f32le,pcm_alaw,pcm_mulaw,flac,avi,null"
PARSERS="mpegaudio,vorbis,aac,ac3,dca,flac,gsm,g723_1,g729,mlp,opus,adx"
# The editor's effect chains and format conversion (audio/EditorEffects.cpp);
# abuffer and abuffersink are always built.
FILTERS="acompressor,aecho,aformat,agate,anull,aphaser,aresample,asetrate,atempo,bandpass,bandreject,chorus,equalizer,flanger,highpass,highshelf,lowpass,lowshelf,pan,silenceremove,vibrato,volume"
mkdir -p "$WORK/ffmpeg-build"
(cd "$WORK/ffmpeg-build" && "$s/configure" --prefix="$PREFIX" --target-os=mingw32 --arch=x86_64 --cross-prefix=$HOST- \
  --cc=$CC --cxx=$CXX --enable-cross-compile --pkg-config=pkg-config --pkg-config-flags=--static \
  --enable-static --disable-shared --disable-programs --disable-doc --disable-network --disable-hwaccels \
  --disable-swscale --disable-avdevice --disable-postproc --disable-debug --disable-autodetect \
  --enable-w32threads --enable-zlib --enable-libmp3lame --enable-libvorbis --enable-libgsm \
  --disable-everything --enable-protocol=file,pipe \
  --enable-decoder="$DECODERS" --enable-demuxer="$DEMUXERS" --enable-encoder="$ENCODERS" \
  --enable-muxer="$MUXERS" --enable-parser="$PARSERS" --enable-filter="$FILTERS" \
  --extra-cflags="-I$PREFIX/include" --extra-ldflags="-L$PREFIX/lib" \
  && make -j"$JOBS" && make install) >"$LOGS/ffmpeg.log" 2>&1 || fail "build ffmpeg" "$LOGS/ffmpeg.log"

rm -rf "$WORK"
date -u > "$PREFIX/.stamp"
echo "$PREFIX"
