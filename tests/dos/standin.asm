; Stand-ins for the DOS programs a boot file starts, as .COM images (nasm -f bin; DOS runs a file
; without an MZ header as one, whatever its extension).
;   -DNAME='KESTRO'  appends "KESTRO:" and the command tail as a line to C:\RUN.LOG, and writes the
;                    same line to standard output, where a redirection after the program takes it;
;   -DNAME='WIN'     the same for WIN.COM: the log shows when Windows would have started;
;   -DKEY            puts the first character of the tail into the keyboard buffer, for CHOICE.
        org     100h
        cld
%ifdef KEY
        mov     cl, [82h]               ; the tail " B": the key after the blank
        mov     ch, 0                   ; scan code 0: CHOICE reads the character
        mov     ah, 05h
        int     16h
%else
        mov     di, record              ; the line: name, ':', tail, CR LF
        mov     si, name
        mov     cx, namelength
        rep     movsb
        mov     si, 81h                 ; PSP: tail length at 80h, the tail from 81h
        mov     cl, [80h]
        rep     movsb
        mov     ax, 0A0Dh
        stosw
        sub     di, record
        mov     bp, di                  ; the line's length

        mov     dx, logname             ; open the log for writing, or create it
        mov     ax, 3D01h
        int     21h
        jnc     .opened
        mov     ah, 3Ch
        xor     cx, cx
        int     21h
        jc      .stdout
.opened:
        mov     bx, ax
        mov     ax, 4202h               ; append: move to its end
        xor     cx, cx
        xor     dx, dx
        int     21h
        call    write
        mov     ah, 3Eh
        int     21h
.stdout:
        mov     bx, 1
        call    write
%endif
        mov     ax, 4C00h
        int     21h

%ifndef KEY
write:                                  ; the line to handle BX
        mov     ah, 40h
        mov     cx, bp
        mov     dx, record
        int     21h
        ret

name            db      NAME, ':'
namelength      equ     $ - name
logname         db      'C:\RUN.LOG', 0
record:                                 ; past the image: at most 8 + 127 + 2 bytes
%endif
